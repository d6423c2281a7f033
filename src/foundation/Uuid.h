#pragma once

#include <QString>

// A new random UUID in its upper-case 36-character form,
// e.g. "1B4E28BA-2FA1-11D2-883F-0016D3CCA427".
QString createUUID();
