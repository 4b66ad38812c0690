#include "app/Layout.h"

#include <QTreeView>
#include <QWidget>

#include <iterator>

#include <cmath>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kWindowWidth = 7170;
constexpr int kWindowHeight = 4770;

// How a control follows the window as it grows past its documented size: the share of the
// extra width (dx) and height (dy) by which it moves and by which it grows.
struct Follow {
    float x, y, width, height;
};
constexpr Follow kStays{0, 0, 0, 0};
constexpr Follow kFills{0, 0, 1, 1};
constexpr Follow kBottom{0, 1, 0, 0};          // keeps its place above the bottom edge
constexpr Follow kBottomRight{1, 1, 0, 0};     // in the bottom right corner
constexpr Follow kRight{1, 0, 0, 0};           // keeps its place at the right edge
constexpr Follow kBottomCentred{0.5, 1, 0, 0}; // at the bottom, as far from the centre as drawn
constexpr Follow kLeftHalf{0, 0, 0.5, 1};      // the left of two boxes that share the space
constexpr Follow kRightHalf{0.5, 0, 0.5, 1};   // the right one
constexpr Follow kBelowRightHalf{0.5, 1, 0, 0};

struct Place {
    const char16_t *name;
    int left, top, width, height;
    Follow follow = kStays;
};

// clang-format off
constexpr Place kPlaces[] = {
    {u"TabStrip1",   0,    0,    7095, 4095, kFills},
    {u"Frame1(0)",   120,  360,  6855, 3615, kFills},
    {u"Frame1(1)",   120,  360,  6855, 3615, kFills},
    {u"Frame1(2)",   120,  360,  6855, 3615, kFills},
    {u"Frame1(3)",   120,  360,  6855, 3495, kFills},
    {u"Command1(4)", 120,  4200, 1095, 495,  kBottom},
    {u"Command2",    3600, 4200, 1335, 540,  kBottomCentred},
    // the audio-file page
    {u"ListView1",   120,  240,  6615, 2655, kFills},
    {u"Command1(0)", 120,  3000, 975,  495,  kBottom},
    {u"Command1(1)", 1320, 3000, 975,  495,  kBottom},
    {u"Command1(2)", 2520, 3000, 975,  495,  kBottom},
    {u"Coun",        5280, 3120, 1455, 375,  kBottomRight},
    // the all-files page
    {u"Drive1",      120,  240,  1935, 300,  {0, 0, 0.5, 0}},
    {u"Dir1",        120,  600,  1935, 2610, kLeftHalf},
    {u"File1",       2160, 240,  2295, 2610, kRightHalf},
    {u"Label2(0)",   2160, 2920, 255,  255,  kBelowRightHalf},
    {u"Combo1",      2400, 2880, 2055, 300,  kBelowRightHalf},
    {u"Label1(0)",   4680, 360,  1335, 375,  kRight},
    {u"Text1(0)",    4680, 720,  1215, 375,  kRight},
    {u"Label1(1)",   4680, 1200, 1335, 375,  kRight},
    {u"Text1(1)",    4680, 1440, 1215, 375,  kRight},
    {u"Label1(4)",   4680, 1920, 1335, 375,  kBottomRight},
    {u"Label2(1)",   4680, 2270, 255,  255,  kBottomRight},
    {u"Text1(2)",    4920, 2160, 975,  375,  kBottomRight},
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

// The columns of ListView1 share the list's extra width, the new name's the widest share.
constexpr float kColumnShares[] = {0.2f, 0.4f, 0.2f, 0.2f};
constexpr int kColumnTwips = 1440;

int share(int extra, float part) {
    return static_cast<int>(std::lround(extra * part));
}

} // namespace

namespace Layout {

int pixels(int twips) {
    return static_cast<int>(std::lround(double(twips) / kTwipsPerPixel));
}

QSize documentedSize() {
    return {pixels(kWindowWidth), pixels(kWindowHeight)};
}

void apply(QWidget *window) {
    window->setMinimumSize(documentedSize());
    window->resize(documentedSize());
    follow(window, documentedSize());
}

void follow(QWidget *window, const QSize &size) {
    const int dx = qMax(0, size.width() - pixels(kWindowWidth));
    const int dy = qMax(0, size.height() - pixels(kWindowHeight));
    for (const Place &p : kPlaces) {
        auto *w = window->findChild<QWidget *>(QString::fromUtf16(p.name));
        Q_ASSERT_X(w, "Layout::follow", "a placed control is missing");
        if (!w)
            continue;
        const Follow &f = p.follow;
        w->setGeometry(pixels(p.left) + share(dx, f.x), pixels(p.top) + share(dy, f.y),
                       pixels(p.width) + share(dx, f.width),
                       pixels(p.height) + share(dy, f.height));
    }
    if (auto *list = window->findChild<QTreeView *>(QStringLiteral("ListView1"))) {
        for (int c = 0; c < int(std::size(kColumnShares)); ++c)
            list->setColumnWidth(c, pixels(kColumnTwips) + share(dx, kColumnShares[c]));
    }
}

} // namespace Layout
