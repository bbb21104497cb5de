// The five pictures: loaded once and kept, retried while they cannot be had,
// and never missed by the windows beyond a blank canvas.
#include "AboutWnd.h"
#include "ControlWnd.h"
#include "Exceptions.h"
#include "Files.h"
#include "Pictures.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

const struct {
    const char* file;
    std::shared_ptr<fw::Picture> (*accessor)();
    int width, height;
} kPictures[] = {
    {"ImageSmall.png", &ImageSmall, 132, 133}, {"Tembrisk.png", &Tembrisk, 145, 27}, {"Info.png", &Info, 72, 70},
    {"Compute2.png", &Compute2, 106, 38},      {"Clear2.png", &Clear2, 106, 39},
};

// A program tree of the test's own: bin/tolvane, and Resources/ on request.
class OwnTree {
public:
    explicit OwnTree(bool withResources)
    {
        QDir(dir_.path()).mkpath(QStringLiteral("bin"));
        if (withResources)
            QDir(dir_.path()).mkpath(QStringLiteral("Resources"));
        fw::SetExecutableFileForTesting(dir_.path() + QStringLiteral("/bin/tolvane"));
    }
    QString Resource(const char* file) const { return dir_.path() + QStringLiteral("/Resources/") + file; }
    void PutInPlace(const char* file) const
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TOLVANE_TREE_DIR "/Resources/") + file, Resource(file)));
    }

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

TEST(Pictures, MissingOrBrokenFileIsNilAndRetriedUntilItIsPutInPlace)
{
    OwnTree tree(true);
    QFile fake(tree.Resource("Info.png"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a picture at all\n");
    fake.close();
    EXPECT_EQ(Info(), nullptr);
    EXPECT_EQ(Info(), nullptr);
    EXPECT_EQ(fw::OpenAsPictureCount(), 2);  // nothing cached: tried again
    ASSERT_TRUE(QFile::remove(tree.Resource("Info.png")));

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

TEST(Pictures, NoResourcesFolderGivesNilForAllAndReadsNothing)
{
    {
        OwnTree tree(false);
        for (const auto& p : kPictures)
            EXPECT_EQ(p.accessor(), nullptr) << p.file;
        EXPECT_EQ(fw::OpenAsPictureCount(), 0);
    }
    fw::SetExecutableFileForTesting(QStringLiteral("/tolvane"));  // no folder above at all
    EXPECT_THROW(ImageSmall(), fw::NilObjectException);
}

TEST(Pictures, LoadedPictureStaysWhenItsFileIsDeletedAndNoFileIsReadTwice)
{
    OwnTree tree(true);
    for (const auto& p : kPictures) {
        tree.PutInPlace(p.file);
        ASSERT_NE(p.accessor(), nullptr) << p.file;
    }
    ASSERT_EQ(fw::OpenAsPictureCount(), 5);
    for (const auto& p : kPictures) {
        const auto first = p.accessor();
        ASSERT_TRUE(QFile::remove(tree.Resource(p.file)));
        EXPECT_EQ(p.accessor(), first) << p.file;
    }
    // Windows built afterwards still show them, without reading again.
    auto& calc = ControlWnd();
    auto& about = AboutWnd();
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

TEST(Pictures, BlankCanvasesStillAnswerPresses)
{
    OwnTree tree(false);
    auto& calc = ControlWnd();
    for (const char* name : {"Canvas1", "Help", "ComputeCanvas", "ClearCanvas"})
        EXPECT_TRUE(Blank(calc.ControlNamed<fw::Canvas>(name))) << name;
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Type(rxx, ".9");
    Type(calc.ControlNamed<fw::EditField>("RyyFld"), ".8");
    Type(calc.ControlNamed<fw::EditField>("RxyFld"), ".5");
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    EXPECT_EQ(calc.ControlNamed<fw::EditField>("RdFld").Text().toStdString(), ".7000");
    Press(calc.ControlNamed<fw::Canvas>("ClearCanvas"));
    EXPECT_TRUE(rxx.Text().isEmpty());
    Press(calc.ControlNamed<fw::Canvas>("Canvas1"));
    EXPECT_TRUE(AboutWnd().Visible());
}
