// Run with QT_SCALE_FACTOR=2: the pictures drawn at start-up must carry the
// screen's pixel ratio, not a 1x picture the screen then blows up.
#include "MainWindowFixture.h"
#include "app/NavArt.h"

#include <QImage>
#include <cstdlib>

namespace {
class HiDpiTest : public MainWindowFixture {
protected:
    HiDpiTest()
        : MainWindowFixture(DefaultSettingsSql() + "INSERT INTO 题目类别 VALUES(1,'源',0,'0');"
                                                   "INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);") {}
};

void expectSharp(const QPixmap& p, QSize logical, const char* what) {
    EXPECT_EQ(p.devicePixelRatio(), 2.0) << what;
    EXPECT_EQ(p.size(), logical * 2) << what;
    EXPECT_EQ(p.deviceIndependentSize().toSize(), logical) << what;
}

// Share of pixels where two same-sized pictures differ visibly.
double differing(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                    std::abs(p.blue() - q.blue()) >
                48)
                ++n;
        }
    return double(n) / (a.width() * a.height());
}
} // namespace

TEST_F(HiDpiTest, StripToolBarAndTreePicturesAreDrawnAtTheScreensRatio) {
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";
    TFrmMain& f = Start();
    for (int i = 0; i < 16; ++i) {
        expectSharp(f.ImageList1.GetBitmap(i), QSize(66, 74), "slot picture");
        expectSharp(f.ImageList3.GetBitmap(i), QSize(66, 74), "selected slot picture");
    }
    expectSharp(f.ToolBar1Images.GetBitmap(0), QSize(45, 23), "tool-bar picture");
    expectSharp(f.ToolBar3HotImages.GetBitmap(0), QSize(104, 23), "lit tool-bar picture");
    expectSharp(f.ImageList4.GetBitmap(2), QSize(22, 20), "tree picture");
    // The window keeps its look: logical sizes are unchanged.
    EXPECT_EQ(f.NavImages[0]->width(), 67);
    EXPECT_EQ(f.TreeView1->iconSize(), QSize(22, 20));
}

TEST_F(HiDpiTest, APictureAtTwiceTheRatioHasDetailAnEnlargedOneLacks) {
    const QImage fine = art::SlotPicture(2, art::SlotLook::Selected, 2.0).toImage();
    const QImage enlarged = art::SlotPicture(2, art::SlotLook::Selected, 1.0)
                                .toImage()
                                .scaled(fine.size(), Qt::IgnoreAspectRatio);
    // Same picture, drawn finer: the outlines and the characters' strokes differ.
    EXPECT_GT(differing(fine, enlarged), 0.02);
    EXPECT_LT(differing(fine, enlarged), 0.5) << "not the same picture at all";
}
