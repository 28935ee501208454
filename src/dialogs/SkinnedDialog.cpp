#include "dialogs/SkinnedDialog.h"

#include "shell/ImageButton.h"
#include "shell/KeyPreview.h"
#include "shell/SkinPictures.h"

#include <QCloseEvent>
#include <QLabel>

namespace dormivo {

SkinnedDialog::SkinnedDialog(const char* name, QSize twipsSize, const QString& caption,
                             QWidget* parent)
    : SkinnedWindow(name, twipsSize, caption, parent) {
    connect(new KeyPreview(this), &KeyPreview::keyPress, this, &SkinnedDialog::onKeyPress);
}

QLabel* SkinnedDialog::addBackground(const char* name) {
    // Over the whole window, so that its frame shows on every edge. The title band keeps a
    // height of its own: stretched with the window it would reach over the first controls. It
    // holds the title and the close glyph (down to 375 twips in every dialog) and ends above
    // the first control (480 twips).
    constexpr int kTitleBand = 420 / kTwipsPerPixel;
    auto* background = addLabel(name, QString(), rect());
    background->setPixmap(SkinPictures::background(size(), devicePixelRatioF(), kTitleBand));
    background->lower();
    dragSurfaces({background});
    return background;
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
    auto* glyph = addPictureButton(name, tr("Close"), place);
    glyph->setScaledContents(true);
    glyph->setPixmap(SkinPictures::picture(SkinPictures::kCross, devicePixelRatioF()));
    glyph->setAccessibleDescription(tr("Closes this window"));
    connect(glyph, &ImageButton::clicked, this, &SkinnedDialog::unload);
    return glyph;
}

ImageButton* SkinnedDialog::addClosePicture(const char* name, QRect place) {
    auto* button = addPictureButton(name, QStringLiteral("Close"), place);
    button->setPixmap(
        SkinPictures::captionedButton(place.size(), QStringLiteral("Close"), devicePixelRatioF()));
    button->setAccessibleDescription(tr("Closes this window"));
    connect(button, &ImageButton::clicked, this, &SkinnedDialog::unload);
    return button;
}

void SkinnedDialog::keepFocusOffControls() {
    for (QWidget* control : findChildren<QWidget*>())
        control->setFocusPolicy(Qt::NoFocus);
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
