#include "support/FakePlatform.h"

namespace dormivo::test {

FakePlatform::FakePlatform()
    : platform{messages,
               launcher,
               filePicker,
               notifyIcons,
               notifier,
               registry,
               QStringLiteral("/opt/dormivo")} {}

} // namespace dormivo::test
