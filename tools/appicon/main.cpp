// Draws the program's icon (data/molarix.svg: a white tooth on a teal rounded square) as PNG files
// of the given sizes, for the desktop's icon theme:  molarix-appicon OUTDIR SIZE...
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);  // the SVG's coordinates
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1d, 0x7f, 0x8c));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    QPainterPath tooth;
    tooth.moveTo(128, 62);
    tooth.cubicTo(104, 44, 62, 46, 58, 88);
    tooth.cubicTo(55, 118, 72, 136, 78, 168);
    tooth.cubicTo(84, 200, 92, 214, 102, 214);
    tooth.cubicTo(114, 214, 112, 170, 128, 170);
    tooth.cubicTo(144, 170, 142, 214, 154, 214);
    tooth.cubicTo(164, 214, 172, 200, 178, 168);
    tooth.cubicTo(184, 136, 201, 118, 198, 88);
    tooth.cubicTo(194, 46, 152, 44, 128, 62);
    tooth.closeSubpath();
    p.setPen(QPen(QColor(0x0f, 0x4c, 0x55), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(tooth);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fputs("molarix-appicon OUTDIR SIZE...\n", stderr);
        return 2;
    }
    for (const QString& sizeText : args.mid(2)) {
        const int size = sizeText.toInt();
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        if (size <= 0 || !QDir().mkpath(dir) || !drawIcon(size).save(dir + QStringLiteral("/molarix.png"))) {
            std::fprintf(stderr, "molarix-appicon: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
