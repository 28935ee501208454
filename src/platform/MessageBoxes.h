#pragma once

#include <QString>

namespace dormivo {

// Message-box styles: an OK button with a critical or an information icon.
enum class MessageStyle { Critical = 16, Information = 64 };

// Tells the user something and waits until it was read.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text, MessageStyle style, const QString& title) = 0;
};

} // namespace dormivo
