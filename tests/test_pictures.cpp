// The five pictures: found two levels above the executable, loaded once and
// kept, retried while they cannot be had, and never missed by the windows
// beyond a blank canvas.
#include "AboutWnd.h"
#include "ControlWnd.h"
#include "Exceptions.h"
#include "Files.h"
#include "Pictures.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct PictureFile {
    const char* file;
    std::shared_ptr<fw::Picture> (*accessor)();
    int width;
    int height;
};

const PictureFile kPictures[] = {
    {"ImageSmall.png", &ImageSmall, 132, 133}, {"Tembrisk.png", &Tembrisk, 145, 27},
    {"Info.png", &Info, 72, 70},               {"Compute2.png", &Compute2, 106, 38},
    {"Clear2.png", &Clear2, 106, 39},
};

QString BuiltPicture(const char* file)
{
    return QStringLiteral(TOLVANE_TREE_DIR "/Resources/") + QString::fromLatin1(file);
}

// A program tree of the test's own: bin/tolvane, and Resources/ on request.
class OwnTree {
public:
    explicit OwnTree(bool withResources)
    {
        QDir root(dir_.path());
        root.mkpath(QStringLiteral("bin"));
        if (withResources)
            root.mkpath(QStringLiteral("Resources"));
        fw::SetExecutableFileForTesting(dir_.path() + QStringLiteral("/bin/tolvane"));
    }
    QString Resource(const char* file) const { return dir_.path() + QStringLiteral("/Resources/") + file; }
    void PutInPlace(const char* file) const { ASSERT_TRUE(QFile::copy(BuiltPicture(file), Resource(file))); }

private:
    QTemporaryDir dir_;
};

// Nothing drawn: every pixel of the canvas as rendered is the same.
bool Blank(fw::Canvas& canvas)
{
    const QImage image = canvas.Widget()->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return false;
    return true;
}

}  // namespace

TEST(Pictures, MissingFileIsNilUntilItIsPutInPlace)
{
    OwnTree tree(true);
    for (const auto& p : kPictures) {
        SCOPED_TRACE(p.file);
        EXPECT_EQ(p.accessor(), nullptr);
        tree.PutInPlace(p.file);
        const auto pic = p.accessor();
        ASSERT_NE(pic, nullptr);
        EXPECT_EQ(pic->Width(), p.width);
        EXPECT_EQ(pic->Height(), p.height);
    }
}

TEST(Pictures, FileThatIsNoPictureIsNilAndNothingIsCached)
{
    OwnTree tree(true);
    QFile fake(tree.Resource("Info.png"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a picture at all\n");
    fake.close();

    const int opens = fw::OpenAsPictureCount();
    EXPECT_EQ(Info(), nullptr);
    EXPECT_EQ(Info(), nullptr);
    EXPECT_EQ(fw::OpenAsPictureCount(), opens + 2);  // tried again each time

    ASSERT_TRUE(QFile::remove(tree.Resource("Info.png")));
    tree.PutInPlace("Info.png");
    ASSERT_NE(Info(), nullptr);
}

TEST(Pictures, NoResourcesFolderGivesNilForAllAndReadsNothing)
{
    OwnTree tree(false);
    for (const auto& p : kPictures)
        EXPECT_EQ(p.accessor(), nullptr) << p.file;
    EXPECT_EQ(fw::OpenAsPictureCount(), 0);
}

TEST(Pictures, NoFolderAboveTheExecutableIsNilObjectError)
{
    fw::SetExecutableFileForTesting(QStringLiteral("/tolvane"));
    EXPECT_THROW(ImageSmall(), fw::NilObjectException);
}

TEST(Pictures, LoadedPictureStaysWhenItsFileIsDeleted)
{
    OwnTree tree(true);
    for (const auto& p : kPictures)
        tree.PutInPlace(p.file);
    for (const auto& p : kPictures) {
        SCOPED_TRACE(p.file);
        const auto first = p.accessor();
        ASSERT_NE(first, nullptr);
        ASSERT_TRUE(QFile::remove(tree.Resource(p.file)));
        const int opens = fw::OpenAsPictureCount();
        EXPECT_EQ(p.accessor(), first);
        EXPECT_EQ(fw::OpenAsPictureCount(), opens);
    }
    // Windows built afterwards still show them.
    auto& calc = ControlWnd();
    EXPECT_FALSE(Blank(calc.ControlNamed<fw::Canvas>("Canvas1")));
    EXPECT_FALSE(Blank(calc.ControlNamed<fw::Canvas>("Help")));
    EXPECT_FALSE(Blank(AboutWnd().ControlNamed<fw::Canvas>("Canvas2")));
}

TEST(Pictures, BuiltPicturesHaveTheirSizesAndEachFileIsReadOnce)
{
    for (const auto& p : kPictures) {
        const auto pic = p.accessor();
        ASSERT_NE(pic, nullptr) << p.file;
        EXPECT_EQ(pic->Width(), p.width) << p.file;
        EXPECT_EQ(pic->Height(), p.height) << p.file;
    }
    EXPECT_EQ(fw::OpenAsPictureCount(), 5);
}

TEST(Pictures, WindowsShareTheLogoAndReadNoFileTwice)
{
    // The start-up order: About first, then the calculator.
    auto& about = AboutWnd();
    EXPECT_EQ(fw::OpenAsPictureCount(), 2);
    auto& calc = ControlWnd();
    EXPECT_EQ(fw::OpenAsPictureCount(), 5);

    EXPECT_EQ(about.ControlNamed<fw::Canvas>("Canvas1").Backdrop(), calc.ControlNamed<fw::Canvas>("Canvas1").Backdrop());
    const struct {
        fw::Window* window;
        const char* canvas;
        std::shared_ptr<fw::Picture> (*accessor)();
    } drawn[] = {{&calc, "Canvas1", &ImageSmall}, {&calc, "Help", &Info},         {&calc, "ComputeCanvas", &Compute2},
                 {&calc, "ClearCanvas", &Clear2}, {&about, "Canvas2", &Tembrisk}, {&about, "Canvas1", &ImageSmall}};
    for (const auto& d : drawn) {
        auto& canvas = d.window->ControlNamed<fw::Canvas>(d.canvas);
        EXPECT_EQ(canvas.Backdrop(), d.accessor()) << d.canvas;
        EXPECT_FALSE(Blank(canvas)) << d.canvas;
    }
    EXPECT_EQ(fw::OpenAsPictureCount(), 5);
}

TEST(Pictures, PicturePutInPlaceShowsInAFreshAboutWindow)
{
    OwnTree tree(true);
    tree.PutInPlace("ImageSmall.png");
    auto* first = &AboutWnd();
    EXPECT_TRUE(Blank(first->ControlNamed<fw::Canvas>("Canvas2")));
    EXPECT_FALSE(Blank(first->ControlNamed<fw::Canvas>("Canvas1")));

    tree.PutInPlace("Tembrisk.png");
    first->Frame()->close();
    Settle();
    auto& again = AboutWnd();
    EXPECT_NE(again.ControlNamed<fw::Canvas>("Canvas2").Backdrop(), nullptr);
    EXPECT_FALSE(Blank(again.ControlNamed<fw::Canvas>("Canvas2")));
}

TEST(Pictures, BlankCanvasesStillAnswerPresses)
{
    OwnTree tree(false);
    auto& calc = ControlWnd();
    for (const char* name : {"Canvas1", "Help", "ComputeCanvas", "ClearCanvas"}) {
        auto& canvas = calc.ControlNamed<fw::Canvas>(name);
        EXPECT_EQ(canvas.Backdrop(), nullptr) << name;
        EXPECT_TRUE(Blank(canvas)) << name;
    }
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Type(rxx, ".9");
    Type(calc.ControlNamed<fw::EditField>("RyyFld"), ".8");
    Type(calc.ControlNamed<fw::EditField>("RxyFld"), ".5");
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    EXPECT_EQ(calc.ControlNamed<fw::EditField>("RdFld").Text(), ".7000");

    Press(calc.ControlNamed<fw::Canvas>("ClearCanvas"));
    EXPECT_EQ(rxx.Text(), "");
    EXPECT_FALSE(calc.ControlNamed<fw::EditField>("RdFld").Visible());

    Press(calc.ControlNamed<fw::Canvas>("Canvas1"));
    EXPECT_TRUE(AboutWnd().Visible());
    EXPECT_EQ(fw::OpenAsPictureCount(), 0);
}
