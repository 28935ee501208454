#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>

namespace dormivo {

enum class Modality { Modeless, Modal };

// Shows a window, also one hidden to the notification area or minimized, and brings it in front
// of the others. A Wayland desktop brings a window to the front only for the program that has
// the keyboard, or with an activation token its launcher gave a later start of the program.
// False where the window may have stayed behind others: on Wayland without a token, when it
// was shown already and the program does not have the keyboard.
bool bringToFront(QWidget* window, const QByteArray& activationToken = {});

// The program's loaded windows, at most one per window class, and the program's end.
//
// A window counts as loaded from add() until it unloads (its unloaded() signal) or is
// destroyed; a window hidden to the notification area is still loaded. The program ends when
// the last loaded window unloads, or at once through endNow().
//
// Opening a window class that is already loaded never makes a second copy: the loaded one is
// shown and brought to the front, whatever modality the second opening asked for. A window
// opened without modality while another one is shown modally is made modal too, so that it is
// not stuck unreachable behind the modal one; its opener is not held up by it.
class WindowTable final : public QObject {
    Q_OBJECT
public:
    // How the program ends, given its exit status; by default the event loop is left.
    using Ending = std::function<void(int status)>;
    explicit WindowTable(Ending ending = {}, QObject* parent = nullptr);

    template <typename W> void add(W* window) {
        track(className<W>(), window);
        connect(window, &W::unloaded, this, [this, window] { forget(window); });
    }

    // Opens the one window of class W: make() constructs it, then it is added, loaded (its
    // load()) and shown. A modal opening returns once the window has unloaded. Returns the
    // window, or null when it unloaded already.
    template <typename W, typename Make> W* open(Modality modality, Make make) {
        if (QWidget* loaded = find(className<W>())) {
            bringToFront(loaded);
            return static_cast<W*>(loaded);
        }
        W* window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
        add(window);
        QPointer<W> guard(window);
        window->load();
        if (!guard || !isLoaded(window))
            return nullptr;
        show(window, modality);
        return guard.data();
    }

    bool isLoaded(const QWidget* window) const;
    QWidget* find(const QString& windowClass) const;
    int loadedCount() const { return static_cast<int>(windows_.size()); }

    // Ends the program at once with the given status, whatever windows are loaded.
    void endNow(int status);
    // Whether the program's end was asked for, and with which status; an end asked for before
    // the event loop runs is left to the start-up to carry out.
    bool hasEnded() const { return ended_; }
    int exitStatus() const { return status_; }

    template <typename W> static QString className() {
        return QString::fromLatin1(W::staticMetaObject.className());
    }

signals:
    // A window was unloaded, or the end was asked for.
    void changed();

private:
    void track(const QString& windowClass, QWidget* window);
    void forget(QWidget* window);
    void show(QWidget* window, Modality modality);

    Ending ending_;
    std::map<QString, QPointer<QWidget>> windows_;
    bool ended_ = false;
    int status_ = 0;
};

} // namespace dormivo
