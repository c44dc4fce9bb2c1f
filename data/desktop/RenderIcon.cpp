// Renders the program's SVG icon as a PNG of one size, for icon themes that want pixels:
//   orvex_iconpng <icon.svg> <size> <out.png>
#include <cstdio>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int size = arguments.value(2).toInt();
    QSvgRenderer svg(arguments.value(1));
    if (arguments.size() != 4 || size <= 0 || !svg.isValid()) {
        std::fprintf(stderr, "usage: orvex_iconpng <icon.svg> <size> <out.png>\n");
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    return image.save(arguments.value(3)) ? 0 : 1;
}
