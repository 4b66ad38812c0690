// Paints the window icon and the About picture that src/app/resources holds. Run it by hand
// when the artwork changes: tunemark_artwork <output folder>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

// A pair of beamed eighth notes with its top-left corner at (x, y), scaled by s.
void drawNotes(QPainter &p, qreal x, qreal y, qreal s, const QColor &color) {
    p.save();
    p.translate(x, y);
    p.scale(s, s);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(0, 30, 14, 10));
    p.drawEllipse(QRectF(26, 26, 14, 10));
    p.drawRect(QRectF(11, 4, 3, 31));
    p.drawRect(QRectF(37, 0, 3, 31));
    QPainterPath beam;
    beam.moveTo(11, 4);
    beam.lineTo(40, 0);
    beam.lineTo(40, 7);
    beam.lineTo(11, 11);
    beam.closeSubpath();
    p.drawPath(beam);
    p.restore();
}

QImage icon() {
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 64, 64);
    g.setColorAt(0, QColor(0x2b, 0x6c, 0xb0));
    g.setColorAt(1, QColor(0x1a, 0x36, 0x5d));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    drawNotes(p, 10, 14, 1.0, QColor(0xf6, 0xe0, 0x5e));
    // A small tag label in the corner: the names come from the tags.
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(36, 42, 22, 14), 3, 3);
    p.setBrush(QColor(0x1a, 0x36, 0x5d));
    p.drawEllipse(QRectF(39, 47, 4, 4));
    return image;
}

QImage about() {
    QImage image(313, 245, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 245);
    g.setColorAt(0, QColor(0x1a, 0x36, 0x5d));
    g.setColorAt(1, QColor(0x2b, 0x6c, 0xb0));
    p.fillRect(image.rect(), g);

    // Staff lines across the picture.
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.2));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(0, 150 + i * 9), QPointF(313, 150 + i * 9));
    drawNotes(p, 30, 128, 1.3, QColor(0xf6, 0xe0, 0x5e));
    drawNotes(p, 210, 120, 1.1, QColor(255, 255, 255, 200));

    p.setPen(Qt::white);
    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 30, 313, 50), Qt::AlignHCenter, QStringLiteral("Tunemark"));
    QFont small(title);
    small.setPixelSize(15);
    small.setBold(false);
    p.setFont(small);
    p.drawText(QRect(0, 82, 313, 22), Qt::AlignHCenter,
               QStringLiteral("音乐文件批量改名  VER 3.0"));
    p.drawText(QRect(0, 210, 313, 22), Qt::AlignHCenter, QStringLiteral("FOR FREE"));
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = icon().save(out + QStringLiteral("/icon.png")) &&
                    about().save(out + QStringLiteral("/about.jpg"), "JPG", 90);
    QTextStream(stderr) << (ok ? "written to " : "could not write to ") << out << "\n";
    return ok ? 0 : 1;
}
