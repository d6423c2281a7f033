#include "foundation/Uuid.h"

#include <QUuid>

QString createUUID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
