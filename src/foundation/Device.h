#pragma once

#include <atomic>

#include <QString>

// Facts about the device the app runs as. A desktop window plays either a
// phone or a tablet (the --idiom option); tests may override each fact.
// Thread contract: set at start-up or by tests; read from any thread.
class Device
{
public:
    enum class Idiom { Phone, Pad };
    // Orientations numbered as the handheld platform numbers them.
    enum Orientation {
        OrientationUnknown = 0,
        Portrait = 1,
        PortraitUpsideDown = 2,
        LandscapeLeft = 3,
        LandscapeRight = 4,
    };

    static Idiom idiom();
    static void setIdiom(Idiom idiom);
    static bool isPad() { return idiom() == Idiom::Pad; }
    static bool parseIdiom(const QString &text, Idiom *idiom);

    static bool isPortrait(int orientation)
    {
        return orientation == Portrait || orientation == PortraitUpsideDown;
    }
    static int orientation();
    static void setOrientation(int orientation);

    // Swipe gestures exist on every desktop (mouse drags, touchpads); tests
    // turn them off to see the layouts of devices without them.
    static bool hasSwipe();
    static void setHasSwipe(bool hasSwipe);

    // The OS version that chooses the data directory. The desktop always
    // counts as a current system (5.0 or later) unless a test says otherwise.
    static double systemVersion();
    static void setSystemVersion(double version);

private:
    static std::atomic<Idiom> idiom_;
    static std::atomic<int> orientation_;
    static std::atomic<double> systemVersion_;
    static std::atomic<bool> hasSwipe_;
};
