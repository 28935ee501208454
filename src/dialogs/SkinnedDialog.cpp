#include "dialogs/SkinnedDialog.h"

#include "shell/ImageButton.h"
#include "shell/KeyPreview.h"
#include "shell/SkinPictures.h"
#include "shell/WindowShape.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

namespace dormivo {

SkinnedDialog::SkinnedDialog(const char* name, QSize twipsSize, const QString& caption,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setFixedSize(twipsSize / 15);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    connect(new KeyPreview(this), &KeyPreview::keyPress, this, &SkinnedDialog::onKeyPress);
    placeOverOpener();
}

void SkinnedDialog::placeOverOpener() {
    // Over the window that opened it while that one is shown, else in the middle of the screen.
    const QWidget* opener = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (opener && opener->isVisible())
        area = opener->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
}

QLabel* SkinnedDialog::addBackground(const char* name) {
    // Over the whole window, so that its frame shows on every edge. The title band keeps a
    // height of its own: stretched with the window it would reach over the first controls. It
    // holds the title and the close glyph (down to 375 twips in every dialog) and ends above
    // the first control (480 twips).
    constexpr int kTitleBand = 420 / 15;
    auto* background = addLabel(name, QString(), rect());
    background->setPixmap(SkinPictures::background(size(), devicePixelRatioF(), kTitleBand));
    background->lower();
    dragSurfaces({background});
    return background;
}

QLabel* SkinnedDialog::addLabel(const char* name, const QString& text, QRect place) {
    auto* label = dormivo::place<QLabel>(this, QString::fromLatin1(name), place);
    label->setText(text);
    return label;
}

QLabel* SkinnedDialog::addTitle(const char* name, const QString& text, QRect place) {
    QLabel* title = addLabel(name, text, place);
    QFont bold = font();
    bold.setBold(true);
    title->setFont(bold);
    dragSurfaces({title});
    return title;
}

ImageButton* SkinnedDialog::addCloseGlyph(const char* name, QRect place) {
    auto* glyph = new ImageButton(this);
    glyph->setObjectName(QString::fromLatin1(name));
    glyph->setGeometry(place);
    glyph->setScaledContents(true);
    glyph->setPixmap(SkinPictures::picture(SkinPictures::kCross, devicePixelRatioF()));
    glyph->setAccessibleName(tr("Close"));
    glyph->setAccessibleDescription(tr("Closes this window"));
    connect(glyph, &ImageButton::clicked, this, &SkinnedDialog::unload);
    return glyph;
}

ImageButton* SkinnedDialog::addClosePicture(const char* name, QRect place) {
    auto* button = new ImageButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    button->setPixmap(
        SkinPictures::captionedButton(place.size(), QStringLiteral("Close"), devicePixelRatioF()));
    button->setAccessibleName(QStringLiteral("Close"));
    button->setAccessibleDescription(tr("Closes this window"));
    connect(button, &ImageButton::clicked, this, &SkinnedDialog::unload);
    return button;
}

void SkinnedDialog::dragSurfaces(std::initializer_list<QWidget*> surfaces) {
    MoveWindowFrom(surfaces);
}

void SkinnedDialog::fitIndicators(std::initializer_list<QAbstractButton*> boxes) {
    for (QAbstractButton* box : boxes) {
        const bool option = qobject_cast<QRadioButton*>(box) != nullptr;
        const QSize mark(style()->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorWidth
                                                     : QStyle::PM_IndicatorWidth,
                                              nullptr, box),
                         style()->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorHeight
                                                     : QStyle::PM_IndicatorHeight,
                                              nullptr, box));
        box->resize(box->size().expandedTo(mark));
    }
}

void SkinnedDialog::keepFocusOffControls() {
    for (QWidget* control : findChildren<QWidget*>())
        control->setFocusPolicy(Qt::NoFocus);
}

void SkinnedDialog::roundCorners() {
    RoundWindow(this, 15, 15);
}

void SkinnedDialog::unload() {
    close();
}

void SkinnedDialog::onKeyPress(int characterCode) {
    if (characterCode == kEsc)
        unload();
}

void SkinnedDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!unloaded_) {
        unloaded_ = true;
        emit unloaded();
    }
}

} // namespace dormivo
