// The application zone with a photo loaded, on a real (virtual) display.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "support/Screen.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QSet>
#include <filesystem>

namespace {
class ZoneOnScreen : public MainWindowFixture {
protected:
    ZoneOnScreen() : MainWindowFixture(DefaultSettingsSql()) {
        std::filesystem::copy(QUILLORA_SOURCE_DIR "/data/install/css", inst.Folder() + "css",
                              std::filesystem::copy_options::recursive);
    }
    ~ZoneOnScreen() override { SetFileDialogHandler({}); }
};

// A page drawn on screen has text and edges: many colours, not one background.
int coloursOf(const QImage& image) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return static_cast<int>(seen.size());
}
} // namespace

TEST_F(ZoneOnScreen, TheZoneWithAPhotoIsPaintedBrowsersIncluded) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(qRgb(200, 30, 30));
    const QString path = QString::fromStdString(inst.Path("photo.jpg"));
    ASSERT_TRUE(photo.save(path, "JPG"));
    SetFileDialogHandler([&](const TFileDialog&) { return path; });

    TFrmMain& f = Start();
    f.ActBKZQExecute();
    f.BitBtn2Click();
    for (WebBrowser* b : {f.WebBrowser1, f.WebBrowser3, f.WebBrowser4})
        ASSERT_TRUE(b->WaitForLoad());

    EXPECT_TRUE(SpinUntil(
        [&] { return SameShare(ScreenPixelsOf(f.Image5), f.Image5->grab().toImage()) > 0.97; }, 5000))
        << "the adjusted photo on screen";
    // The sign-up help's notice box (#FFF8E6) reaches the screen inside the main browser.
    const QColor notice(0xff, 0xf8, 0xe6);
    EXPECT_TRUE(SpinUntil([&] { return CountColour(ScreenPixelsOf(f.WebBrowser1), notice) > 5000; }, 20000))
        << "notice pixels: " << CountColour(ScreenPixelsOf(f.WebBrowser1), notice);
    for (WebBrowser* b : {f.WebBrowser3, f.WebBrowser4})
        EXPECT_TRUE(SpinUntil([&] { return coloursOf(ScreenPixelsOf(b)) > 20; }, 20000))
            << b->LocationURL().toStdString() << ": " << coloursOf(ScreenPixelsOf(b)) << " colours";
    EXPECT_TRUE(SameShare(ScreenPixelsOf(f.Memo1), f.Memo1->grab().toImage()) > 0.97) << "instructions";
    if (::testing::Test::HasFailure()) ScreenPixelsOf(&f).save(QStringLiteral("zone_on_screen.png"));
}
