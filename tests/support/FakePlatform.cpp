#include "support/FakePlatform.h"

#include "common/Flags.h"

namespace dormivo::test {

FakePlatform::FakePlatform()
    : platform{messages,
               launcher,
               filePicker,
               notifyIcons,
               notifier,
               registry,
               QStringLiteral("/opt/dormivo")} {
    resetFlags();
}

} // namespace dormivo::test
