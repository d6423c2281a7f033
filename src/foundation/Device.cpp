#include "foundation/Device.h"

std::atomic<Device::Idiom> Device::idiom_{Device::Idiom::Phone};
std::atomic<int> Device::orientation_{Device::Portrait};
std::atomic<double> Device::systemVersion_{5.0};
std::atomic<bool> Device::hasSwipe_{true};

bool Device::hasSwipe()
{
    return hasSwipe_.load();
}

void Device::setHasSwipe(bool hasSwipe)
{
    hasSwipe_.store(hasSwipe);
}

Device::Idiom Device::idiom()
{
    return idiom_.load();
}

void Device::setIdiom(Idiom idiom)
{
    idiom_.store(idiom);
}

bool Device::parseIdiom(const QString &text, Idiom *idiom)
{
    if (text == u"phone")
        *idiom = Idiom::Phone;
    else if (text == u"pad" || text == u"tablet")
        *idiom = Idiom::Pad;
    else
        return false;
    return true;
}

int Device::orientation()
{
    return orientation_.load();
}

void Device::setOrientation(int orientation)
{
    orientation_.store(orientation);
}

double Device::systemVersion()
{
    return systemVersion_.load();
}

void Device::setSystemVersion(double version)
{
    systemVersion_.store(version);
}
