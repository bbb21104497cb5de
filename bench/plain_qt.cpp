// The program's first window (the About splash) written directly in Qt:
// 447x218, white, the logo and the wordmark from the same Resources folder,
// two navy labels. Shown at once; quits after the given milliseconds.
//   plain_qt [MS [RESOURCES_DIR]]
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTimer>

#include <cstdlib>

namespace {

class PictureView : public QWidget {
public:
    PictureView(const QString& file, QRect at, QWidget* parent) : QWidget(parent), image_(file)
    {
        setGeometry(at);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(QPoint(0, 0), image_);
    }

private:
    QImage image_;
};

QLabel* NavyLabel(const QString& text, QRect at, int pixelSize, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0x80));
    label->setPalette(pal);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(at);
    return label;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int ms = argc > 1 ? std::atoi(argv[1]) : 1500;
    const QString resources = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(TOLVANE_RESOURCES_DIR);

    QWidget window(nullptr, Qt::Dialog | Qt::FramelessWindowHint);
    window.setFixedSize(447, 218);
    QPalette white = window.palette();
    white.setColor(QPalette::Window, Qt::white);
    window.setPalette(white);
    window.setAutoFillBackground(true);

    auto* wordmark = new PictureView(resources + QStringLiteral("/Tembrisk.png"), {224, 128, 145, 27}, &window);
    wordmark->setEnabled(false);
    NavyLabel(QStringLiteral("Tol\nvane"), {165, 54, 262, 67}, 28, true, &window);
    NavyLabel(QStringLiteral("Difference score\nreliability, v1.0"), {14, 167, 144, 26}, 10, false, &window);
    new PictureView(resources + QStringLiteral("/ImageSmall.png"), {20, 37, 133, 129}, &window);

    window.show();
    QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
