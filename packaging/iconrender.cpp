// Renders the console's SVG icon as the PNG sizes of the hicolor icon theme:
//   talmor_iconrender ICON.svg OUTPUT-FOLDER SIZE...   writes OUTPUT-FOLDER/SIZE/talmormanager.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: talmor_iconrender ICON.svg OUTPUT-FOLDER SIZE...\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "talmor_iconrender: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int side = QString::fromLatin1(argv[i]).toInt();
        const QString folder = QString::fromLocal8Bit(argv[2]) + '/' + QString::number(side);
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        if (side <= 0 || !QDir().mkpath(folder) || !image.save(folder + "/talmormanager.png")) {
            std::fprintf(stderr, "talmor_iconrender: cannot write the %s pixel icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
