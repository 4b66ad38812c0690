#include "app/Layout.h"

#include <QWidget>

#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kWindowWidth = 7170;
constexpr int kWindowHeight = 4770;

struct Place {
    const char16_t *name;
    int left, top, width, height;
};

// clang-format off
constexpr Place kPlaces[] = {
    {u"TabStrip1",   0,    0,    7095, 4095},
    {u"Frame1(0)",   120,  360,  6855, 3615},
    {u"Frame1(1)",   120,  360,  6855, 3615},
    {u"Frame1(2)",   120,  360,  6855, 3615},
    {u"Frame1(3)",   120,  360,  6855, 3495},
    {u"Command1(4)", 120,  4200, 1095, 495},
    {u"Command2",    3600, 4200, 1335, 540},
    // the audio-file page
    {u"ListView1",   120,  240,  6615, 2655},
    {u"Command1(0)", 120,  3000, 975,  495},
    {u"Command1(1)", 1320, 3000, 975,  495},
    {u"Command1(2)", 2520, 3000, 975,  495},
    {u"Coun",        5280, 3120, 1455, 375},
    // the all-files page
    {u"Drive1",      120,  240,  1935, 300},
    {u"Dir1",        120,  600,  1935, 2610},
    {u"File1",       2160, 240,  2295, 2610},
    {u"Label2(0)",   2160, 2920, 255,  255},
    {u"Combo1",      2400, 2880, 2055, 300},
    {u"Label1(0)",   4680, 360,  1335, 375},
    {u"Text1(0)",    4680, 720,  1215, 375},
    {u"Label1(1)",   4680, 1200, 1335, 375},
    {u"Text1(1)",    4680, 1440, 1215, 375},
    {u"Label1(4)",   4680, 1920, 1335, 375},
    {u"Label2(1)",   4680, 2270, 255,  255},
    {u"Text1(2)",    4920, 2160, 975,  375},
    // the settings page
    {u"Label1(2)",   240,  480,  1335, 375},
    {u"Text3",       1800, 360,  2175, 375},
    {u"Label1(3)",   240,  840,  3735, 375},
    {u"Check1(0)",   480,  1440, 2655, 375},
    {u"Check1(1)",   480,  1920, 2535, 375},
    {u"Check1(2)",   480,  2400, 2535, 375},
    {u"Label1(6)",   240,  1140, 6495, 300},
    {u"Check1(3)",   3480, 1440, 3255, 375},
    {u"Check1(4)",   3480, 1920, 3255, 375},
    {u"Label1(5)",   480,  2940, 1335, 375},
    {u"Combo2",      1800, 2880, 2655, 300},
    {u"Command1(3)", 5760, 2760, 975,  495},
    // the about page
    {u"Picture1",    1080, 240,  4695, 3135},
};
// clang-format on

} // namespace

namespace Layout {

int pixels(int twips) {
    return static_cast<int>(std::lround(double(twips) / kTwipsPerPixel));
}

void apply(QWidget *window) {
    window->setFixedSize(pixels(kWindowWidth), pixels(kWindowHeight));
    for (const Place &p : kPlaces) {
        auto *w = window->findChild<QWidget *>(QString::fromUtf16(p.name));
        Q_ASSERT_X(w, "Layout::apply", "a placed control is missing");
        if (w)
            w->setGeometry(pixels(p.left), pixels(p.top), pixels(p.width), pixels(p.height));
    }
}

} // namespace Layout
