#include "LabelLook.h"

#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace labellook {

namespace {

const char kLookProperty[] = "labelLook";
// The program's labels use a dozen images at one size each; should a look
// ever name images without end, those beyond this are made for their label
// alone rather than kept.
constexpr int kMostPictures = 64;

// The pictures of every label, by image and size.
QHash<QString, QPixmap> &pictures()
{
    static QHash<QString, QPixmap> shared;
    return shared;
}

// The image scaled into the label's fixed size, or as it is for a label
// without one.
QPixmap pictureFor(const QString &path, QSize size)
{
    if (size.width() >= QWIDGETSIZE_MAX || size.height() >= QWIDGETSIZE_MAX)
        size = QSize();
    const QString key = path + QLatin1Char('@') + QString::number(size.width()) + QLatin1Char('x')
                        + QString::number(size.height());
    QHash<QString, QPixmap> &shared = pictures();
    if (const auto it = shared.constFind(key); it != shared.cend())
        return *it;
    const QPixmap image(path);
    const QPixmap picture = size.isEmpty() ? image : image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (shared.size() < kMostPictures)
        shared.insert(key, picture);
    return picture;
}

void apply(QLabel *label, const QString &look)
{
    static const QRegularExpression image(QStringLiteral("^image: url\\((.+)\\);$"));
    static const QRegularExpression color(QStringLiteral("^color: rgb\\((\\d+), (\\d+), (\\d+)\\);$"));
    QPalette palette = label->palette();
    const QWidget *parent = label->parentWidget();
    palette.setColor(QPalette::WindowText, (parent ? parent->palette() : QPalette()).color(QPalette::WindowText));
    if (const QRegularExpressionMatch m = color.match(look); m.hasMatch())
        palette.setColor(QPalette::WindowText, QColor(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
    label->setPalette(palette);
    if (const QRegularExpressionMatch m = image.match(look); m.hasMatch()) {
        label->setAlignment(Qt::AlignCenter);
        label->setPixmap(pictureFor(m.captured(1), label->maximumSize()));
    } else if (!label->pixmap(Qt::ReturnByValue).isNull()) {
        label->setPixmap(QPixmap());
    }
}

} // namespace

void set(QLabel *label, const QString &look)
{
    if (of(label) == look)
        return;
    label->setProperty(kLookProperty, look);
    apply(label, look);
}

QString of(const QLabel *label)
{
    return label->property(kLookProperty).toString();
}

int sharedPictureCount()
{
    return pictures().size();
}

} // namespace labellook
