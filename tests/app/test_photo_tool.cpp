// The photo tool in the real main window: opening, the size boxes, clearing,
// and the saved JPEG read back with libjpeg itself.
#include "MainWindowFixture.h"
#include "platform/MessageBox.h"

#include <QFocusEvent>
#include <QTest>
#include <csetjmp>
#include <jpeglib.h>

namespace {
struct Jpeg {
    int width = 0, height = 0, components = 0;
    std::vector<uchar> pixels;
    QRgb at(int x, int y) const {
        const uchar* p = &pixels[static_cast<size_t>((y * width + x) * components)];
        return qRgb(p[0], p[1], p[2]);
    }
};

struct JumpingError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Decodes with libjpeg directly, so a fault in the program's writer cannot hide behind its reader.
bool readJpeg(const std::string& bytes, Jpeg* out) {
    jpeg_decompress_struct cinfo;
    JumpingError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JumpingError*>(c->err)->jump, 1); };
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const uchar*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    out->width = static_cast<int>(cinfo.output_width);
    out->height = static_cast<int>(cinfo.output_height);
    out->components = cinfo.output_components;
    out->pixels.resize(static_cast<size_t>(out->width * out->height * out->components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &out->pixels[static_cast<size_t>(cinfo.output_scanline) * out->width * out->components];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Quarters red, green / blue, yellow: a stretch keeps all four, a crop would not.
QImage quarters(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, y < h / 2 ? (x < w / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                           : (x < w / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
    return image;
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 && std::abs(qBlue(a) - qBlue(b)) < 40;
}

template <class Pixel> void expectQuarters(const Pixel& pixel, int w, int h) {
    EXPECT_TRUE(near(pixel(4, 4), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(pixel(w - 5, 4), qRgb(0, 255, 0)));
    EXPECT_TRUE(near(pixel(4, h - 5), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(pixel(w - 5, h - 5), qRgb(255, 255, 0)));
}

class PhotoToolTest : public MainWindowFixture {
protected:
    PhotoToolTest() : MainWindowFixture(DefaultSettingsSql()) {
        SetFileDialogHandler([this](const TFileDialog& d) -> std::optional<QString> {
            dialogs.push_back(d.DialogKind);
            if (answers.empty()) return std::nullopt;
            QString a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    }
    ~PhotoToolTest() override { SetFileDialogHandler({}); }
    void SetUp() override {
        Start();
        frm->ActBKZQExecute();
        QApplication::processEvents();
        ASSERT_TRUE(quarters(640, 480).save(QString::fromStdString(inst.Path("photo.jpg")), "JPG", 95));
    }
    void open(const std::string& name) {
        answers.push_back(QString::fromStdString(inst.Path(name)));
        QTest::mouseClick(frm->BitBtn2, Qt::LeftButton);  // errors reach the program's error handler
    }
    QImage adjusted() const { return frm->Image5->pixmap().toImage(); }
    static void leave(QWidget* w) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w, &out);
    }

    std::vector<QString> answers;
    std::vector<TFileDialog::Kind> dialogs;
};
}  // namespace

TEST_F(PhotoToolTest, OpeningAJpegShowsItsSizeAndSqueezesAllOfItIntoTheAdjustedPicture) {
    open("photo.jpg");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(frm->PhotoLoaded);
    EXPECT_EQ(frm->Label3->text(), "宽640");
    EXPECT_EQ(frm->Label4->text(), "高480");
    EXPECT_EQ(frm->Image4->pixmap().size(), QSize(640, 480));
    EXPECT_EQ(frm->Image5->size(), QSize(110, 140));
    const QImage a = adjusted();
    ASSERT_EQ(a.size(), QSize(110, 140));
    expectQuarters([&](int x, int y) { return a.pixel(x, y); }, 110, 140);
}

TEST_F(PhotoToolTest, SizeBoxesResizeTheFrameAlwaysAndThePictureWithAPhoto) {
    frm->SpinEdit1->setValue(90);
    EXPECT_EQ(frm->Image5->size(), QSize(90, 140));
    EXPECT_TRUE(frm->Image5->pixmap().isNull()) << "no photo: only the frame changes";
    open("photo.jpg");
    EXPECT_EQ(adjusted().size(), QSize(90, 140));
    frm->SpinEdit2->setValue(100);
    EXPECT_EQ(adjusted().size(), QSize(90, 100));

    // Typed past the limits, a value is brought into range once the box loses focus.
    frm->SpinEdit1->selectAll();
    QTest::keyClicks(frm->SpinEdit1, QStringLiteral("200"));
    EXPECT_EQ(frm->SpinEdit1->text(), "200") << "the keystroke is kept until the box is left";
    leave(frm->SpinEdit1);
    EXPECT_EQ(frm->SpinEdit1->value(), 120);
    frm->SpinEdit2->selectAll();
    QTest::keyClicks(frm->SpinEdit2, QStringLiteral("5"));
    leave(frm->SpinEdit2);
    EXPECT_EQ(frm->SpinEdit2->value(), 80);
    EXPECT_EQ(adjusted().size(), QSize(120, 80));
}

TEST_F(PhotoToolTest, ClearingKeepsTheBoxesAndTextsAndTheNextChangeSetsOneDimension) {
    open("photo.jpg");
    frm->SpinEdit1->setValue(90);
    frm->SpinEdit2->setValue(100);
    frm->BitBtn4->click();
    EXPECT_FALSE(frm->PhotoLoaded);
    EXPECT_TRUE(frm->Image4->pixmap().isNull());
    EXPECT_TRUE(frm->Image5->pixmap().isNull());
    EXPECT_EQ(frm->Image5->size(), QSize(110, 140));
    EXPECT_EQ(frm->SpinEdit1->value(), 90);
    EXPECT_EQ(frm->SpinEdit2->value(), 100);
    EXPECT_EQ(frm->Label3->text(), "宽640");
    frm->SpinEdit2->setValue(120);
    EXPECT_EQ(frm->Image5->size(), QSize(110, 120));
}

TEST_F(PhotoToolTest, SavingWritesAJpegOfTheChosenSizeOverAnExistingFile) {
    frm->BitBtn3->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "请先打开照片！");
    EXPECT_TRUE(dialogs.empty()) << "nothing to save: no dialog";

    open("photo.jpg");
    frm->SpinEdit1->setValue(100);
    frm->SpinEdit2->setValue(120);
    WriteFileBytes(inst.Path("out.jpg"), "an older file");
    answers.push_back(QString::fromStdString(inst.Path("out")));  // the default extension is added
    frm->BitBtn3->click();
    EXPECT_EQ(dialogs.back(), TFileDialog::Kind::Save);
    EXPECT_EQ(frm->SavePictureDialog1.Filter, "JPEG Image File (*.jpg)|*.jpg");
    Jpeg saved;
    ASSERT_TRUE(readJpeg(ReadFileBytes(inst.Path("out.jpg")), &saved));
    EXPECT_EQ(saved.width, 100);
    EXPECT_EQ(saved.height, 120);
    EXPECT_EQ(saved.components, 3);
    expectQuarters([&](int x, int y) { return saved.at(x, y); }, 100, 120);
}

TEST_F(PhotoToolTest, AFileThatIsNoPictureIsReportedAndChangesNothing) {
    open("photo.jpg");
    const QImage before = adjusted();
    WriteFileBytes(inst.Path("notes.jpg"), "just some text");
    std::string broken = ReadFileBytes(inst.Path("photo.jpg")).substr(0, 20);  // a JPEG cut inside its header
    WriteFileBytes(inst.Path("cut.jpg"), broken);
    for (const char* name : {"notes.jpg", "cut.jpg", "missing.png"}) {
        open(name);
        ASSERT_FALSE(boxes.shown.empty()) << name;
        EXPECT_TRUE(boxes.shown.back().text.startsWith(QStringLiteral("无法打开照片“%1”：").arg(QString::fromUtf8(name))))
            << boxes.shown.back().text.toStdString();
        EXPECT_EQ(boxes.shown.back().flags, MB_ICONERROR);
        EXPECT_TRUE(frm->PhotoLoaded);
        EXPECT_EQ(frm->Label3->text(), "宽640");
        EXPECT_EQ(adjusted(), before);
    }
    // Other formats come through Qt's readers, whatever the name says.
    ASSERT_TRUE(quarters(300, 200).save(QString::fromStdString(inst.Path("png-named.jpg")), "PNG"));
    open("png-named.jpg");
    EXPECT_EQ(frm->Label3->text(), "宽300");
    EXPECT_EQ(frm->Label4->text(), "高200");
}
