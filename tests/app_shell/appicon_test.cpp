#include "app/shell/appicon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct Coverage {
    int opaque = 0;
    int transparent = 0;
};

Coverage coverage(const QImage& image) {
    Coverage c;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const int alpha = qAlpha(argb.pixel(x, y));
            if (alpha == 255)
                ++c.opaque;
            else if (alpha == 0)
                ++c.transparent;
        }
    }
    return c;
}

// A theme of one icon, "vastel", a plain red square, in a folder of its own.
class OneIconTheme {
public:
    OneIconTheme() : m_savedName(QIcon::themeName()), m_savedPaths(QIcon::themeSearchPaths()) {
        const QString theme = m_dir.path() + QStringLiteral("/testtheme");
        QDir().mkpath(theme + QStringLiteral("/scalable/apps"));
        write(theme + QStringLiteral("/index.theme"), "[Icon Theme]\nName=testtheme\n"
                                                      "Directories=scalable/apps\n\n"
                                                      "[scalable/apps]\nSize=64\nMinSize=8\n"
                                                      "MaxSize=512\nType=Scalable\n");
        write(theme + QStringLiteral("/scalable/apps/vastel.svg"),
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\">"
              "<rect width=\"64\" height=\"64\" fill=\"#ff0000\"/></svg>");
        QIcon::setThemeSearchPaths({m_dir.path()});
        QIcon::setThemeName(QStringLiteral("testtheme"));
    }
    ~OneIconTheme() {
        QIcon::setThemeName(m_savedName);
        QIcon::setThemeSearchPaths(m_savedPaths);
    }

private:
    static void write(const QString& path, const char* text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(text), qint64(qstrlen(text)));
    }
    QTemporaryDir m_dir;
    QString m_savedName;
    QStringList m_savedPaths;
};

} // namespace

// The picture compiled in is drawn to any size (it is scalable, not a small bitmap blown up),
// shaped rather than a filled square, at the smallest size a title bar uses too.
TEST(ProgramIcon, BuiltInPictureRendersAtEverySize) {
    programIcon();
    const QIcon builtIn(kBuiltInIconPath);
    for (int size : {16, 48, 256}) {
        const QImage image = builtIn.pixmap(QSize(size, size)).toImage();
        ASSERT_FALSE(image.isNull()) << size;
        EXPECT_EQ(image.size(), QSize(size, size)) << size;
        const Coverage c = coverage(image);
        EXPECT_GT(c.opaque, size * size / 4) << size;
        EXPECT_GT(c.transparent, size * size / 20) << size;
    }
}

TEST(ProgramIcon, ComesFromTheDesktopThemeWhenItHasOne) {
    OneIconTheme theme;
    const QImage image = programIcon().pixmap(QSize(32, 32)).toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(16, 16), QColor(Qt::red));
    EXPECT_EQ(coverage(image).transparent, 0);
}

TEST(ProgramIcon, FallsBackToTheBuiltInPictureWithoutATheme) {
    QTemporaryDir empty;
    const QString savedName = QIcon::themeName();
    const QStringList savedPaths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({empty.path()});
    QIcon::setThemeName(QStringLiteral("none"));
    const QImage fromProgram = programIcon().pixmap(QSize(48, 48)).toImage();
    QIcon::setThemeName(savedName);
    QIcon::setThemeSearchPaths(savedPaths);
    const QImage builtIn = QIcon(kBuiltInIconPath).pixmap(QSize(48, 48)).toImage();
    ASSERT_FALSE(builtIn.isNull());
    EXPECT_EQ(fromProgram.convertToFormat(QImage::Format_ARGB32),
              builtIn.convertToFormat(QImage::Format_ARGB32));
}

TEST(ProgramIcon, EveryWindowCarriesItAndTheDesktopEntryIsNamed) {
    setUpDesktopIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("vastel"));
    QWidget window;
    EXPECT_FALSE(window.windowIcon().pixmap(QSize(16, 16)).isNull());
}
