// The photo tool in the real main window; the saved JPEG is read back with libjpeg itself.
#include "MainWindowFixture.h"
#include "app/PhotoTool.h"
#include "platform/MessageBox.h"

#include <QTest>
#include <csetjmp>
#include <cstdlib>
#include <fstream>
#include <jpeglib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct JumpingError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Straight libjpeg, so a fault in the program's writer cannot hide behind its own reader.
bool readJpeg(const std::string& bytes, QImage* out) {
    jpeg_decompress_struct cinfo;
    JumpingError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<JumpingError*>(c->err)->jump, 1);
    };
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const uchar*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    *out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                  QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Quarters red, green / blue, yellow: a stretch keeps all four corners, a crop would not.
QImage quarters(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x >= w / 2 || y >= h / 2)
                image.setPixel(x, y, y < h / 2 ? 0xFF00FF00 : x < w / 2 ? 0xFF0000FF : 0xFFFFFF00);
    return image;
}

// CMYK as Adobe's programs write it: an Adobe marker and inverted inks, here no black.
void writeAdobeCmyk(const QImage& rgb, const std::string& path) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo); // with the Adobe marker
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(rgb.width()) * 4, 255);
    for (; cinfo.next_scanline < cinfo.image_height;) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, static_cast<int>(cinfo.next_scanline));
            const JSAMPLE inverted[] = {JSAMPLE(qRed(p)), JSAMPLE(qGreen(p)), JSAMPLE(qBlue(p))}; // 255 - ink
            std::copy(inverted, inverted + 3, row.begin() + x * 4);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    WriteFileBytes(path, std::string(reinterpret_cast<const char*>(out), size));
    std::free(out);
}

void expectQuarters(const QImage& image) {
    const int w = image.width() - 5, h = image.height() - 5;
    const QRgb corners[] = {image.pixel(4, 4), image.pixel(w, 4), image.pixel(4, h), image.pixel(w, h)};
    const QRgb want[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int i = 0; i < 4; ++i)
        for (int shift : {0, 8, 16})
            EXPECT_NEAR((corners[i] >> shift) & 0xFF, (want[i] >> shift) & 0xFF, 40) << "corner " << i;
}

// LoadPicture's message in a child whose address space has only `room` bytes
// left beyond what it already maps.
[[maybe_unused]] std::string loadWithLittleRoom(const std::string& path, rlim_t room) {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit limit{static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + room, RLIM_INFINITY};
        std::string what = setrlimit(RLIMIT_AS, &limit) == 0 ? "loaded" : "no limit";
        try {
            if (what == "loaded") LoadPicture(QString::fromStdString(path));
        } catch (const std::exception& e) {
            what = e.what();
        }
        (void)!write(fds[1], what.data(), what.size());
        _exit(0);
    }
    close(fds[1]);
    std::string got;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        got.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return got;
}

class PhotoToolTest : public MainWindowFixture {
protected:
    PhotoToolTest() : MainWindowFixture(DefaultSettingsSql()) {
        SetFileDialogHandler([this](const TFileDialog& d) -> std::optional<QString> {
            dialogs.push_back(d.DialogKind);
            if (answers.empty()) return std::nullopt;
            return QString::fromStdString(inst.Path(std::exchange(answers, {})));
        });
    }
    ~PhotoToolTest() override { SetFileDialogHandler({}); }
    void SetUp() override {
        Start();
        frm->ActBKZQExecute();
        ASSERT_TRUE(quarters(640, 480).save(QString::fromStdString(inst.Path("photo.jpg")), "JPG", 95));
    }
    void open(const std::string& name) {
        answers = name;
        QTest::mouseClick(frm->BitBtn2, Qt::LeftButton); // errors go to the program's error handler
    }
    void type(TSpinEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }
    QImage adjusted() const { return frm->Image5->pixmap().toImage(); }

    std::string answers;
    std::vector<TFileDialog::Kind> dialogs;
};
} // namespace

TEST_F(PhotoToolTest, OpeningAJpegShowsItsSizeAndSqueezesAllOfItIntoTheAdjustedPicture) {
    open("photo.jpg");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(frm->PhotoLoaded);
    EXPECT_EQ(frm->Label3->text(), "宽640");
    EXPECT_EQ(frm->Label4->text(), "高480");
    EXPECT_EQ(frm->Image4->pixmap().size(), QSize(640, 480));
    ASSERT_EQ(adjusted().size(), QSize(110, 140));
    expectQuarters(adjusted());

    writeAdobeCmyk(quarters(64, 48), inst.Path("cmyk.jpg"));
    open("cmyk.jpg");
    EXPECT_EQ(frm->Label3->text(), "宽64");
    expectQuarters(adjusted());
}

TEST_F(PhotoToolTest, SizeBoxesResizeTheFrameAlwaysThePictureWithAPhotoAndClampTypedValues) {
    frm->SpinEdit1->setValue(90);
    EXPECT_EQ(frm->Image5->size(), QSize(90, 140));
    EXPECT_TRUE(frm->Image5->pixmap().isNull()) << "no photo: only the frame changes";
    open("photo.jpg");
    EXPECT_EQ(adjusted().size(), QSize(90, 140));
    frm->SpinEdit1->selectAll();
    QTest::keyClicks(frm->SpinEdit1, QStringLiteral("200"));
    EXPECT_EQ(frm->SpinEdit1->text(), "200") << "kept until the box is left";
    type(frm->SpinEdit1, QStringLiteral("200"));
    type(frm->SpinEdit2, QStringLiteral("5"));
    EXPECT_EQ(frm->SpinEdit1->value(), 120);
    EXPECT_EQ(frm->SpinEdit2->value(), 80);
    EXPECT_EQ(adjusted().size(), QSize(120, 80));
}

TEST_F(PhotoToolTest, ClearingKeepsTheBoxesAndTextsAndTheNextChangeSetsOneDimension) {
    open("photo.jpg");
    frm->SpinEdit1->setValue(90);
    frm->SpinEdit2->setValue(100);
    frm->BitBtn4->click();
    EXPECT_FALSE(frm->PhotoLoaded);
    EXPECT_TRUE(frm->Image4->pixmap().isNull() && frm->Image5->pixmap().isNull());
    EXPECT_EQ(frm->Image5->size(), QSize(110, 140));
    EXPECT_EQ(frm->SpinEdit1->value(), 90);
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
    answers = "out"; // the default extension is added
    frm->BitBtn3->click();
    EXPECT_EQ(dialogs.back(), TFileDialog::Kind::Save);
    QImage saved;
    ASSERT_TRUE(readJpeg(ReadFileBytes(inst.Path("out.jpg")), &saved));
    EXPECT_EQ(saved.size(), QSize(100, 120));
    expectQuarters(saved);
}

TEST_F(PhotoToolTest, AFileThatIsNoPictureIsReportedAndChangesNothing) {
    open("photo.jpg");
    const QImage before = adjusted();
    WriteFileBytes(inst.Path("notes.jpg"), "just some text");
    WriteFileBytes(inst.Path("cut.jpg"),
                   ReadFileBytes(inst.Path("photo.jpg")).substr(0, 20)); // cut in its header
    for (const char* name : {"notes.jpg", "cut.jpg", "missing.png"}) {
        open(name);
        ASSERT_FALSE(boxes.shown.empty()) << name;
        EXPECT_TRUE(boxes.shown.back().text.startsWith(
            QStringLiteral("无法打开照片“%1”：").arg(QString::fromUtf8(name))))
            << boxes.shown.back().text.toStdString();
        EXPECT_EQ(frm->Label3->text(), "宽640");
        EXPECT_EQ(adjusted(), before);
    }
    EXPECT_TRUE(frm->PhotoLoaded);
    // Other formats come through Qt's readers, whatever the name says.
    ASSERT_TRUE(quarters(300, 200).save(QString::fromStdString(inst.Path("png-named.jpg")), "PNG"));
    open("png-named.jpg");
    EXPECT_EQ(frm->Label3->text(), "宽300");
    EXPECT_EQ(frm->Label4->text(), "高200");
}

TEST_F(PhotoToolTest, AForgedHugeSizeIsRefusedBeforeDecodingAndACutJpegIsReported) {
    open("photo.jpg");
    const QImage before = adjusted();
    // Progressive JPEGs of a few hundred bytes whose frame header was patched to claim a huge size.
    const std::string corpus = QUILLORA_SOURCE_DIR "/fuzz/corpus/photo/";
    const std::pair<const char*, QString> cases[] = {
        {"progressive-claims-30000.jpg", QStringLiteral("图像太大（30000 × 30000 像素）")},
        {"progressive-claims-65500.jpg", QStringLiteral("图像太大（65500 × 65500 像素）")},
        {"progressive-cut.jpg", QStringLiteral("JPEG 文件不完整（文件提前结束）")},
        {"baseline-cut.jpg", QStringLiteral("JPEG 文件不完整（文件提前结束）")},
    };
    for (const auto& [name, says] : cases) {
        WriteFileBytes(inst.Path(name), ReadFileBytes(corpus + name));
        boxes.shown.clear();
        open(name);
        ASSERT_EQ(boxes.shown.size(), 1u) << name;
        EXPECT_EQ(boxes.shown[0].text,
                  QStringLiteral("无法打开照片“%1”：%2。").arg(QString::fromUtf8(name), says));
        EXPECT_EQ(adjusted(), before) << name;
    }
#ifndef __SANITIZE_ADDRESS__ // its shadow memory needs an unlimited address space
    // Refused from the header alone: decoding would want gigabytes.
    for (const char* name : {"progressive-claims-30000.jpg", "progressive-claims-65500.jpg"})
        EXPECT_NE(loadWithLittleRoom(inst.Path(name), 512u << 20).find("图像太大"), std::string::npos)
            << name;
#endif
}
