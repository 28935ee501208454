#include "support/FakePlatform.h"

#include "shell/frmSysTray.h"
#include "store/ProgramsActive.h"

namespace dormivo::test {

FakePlatform::FakePlatform()
    : platform{messages,
               launcher,
               filePicker,
               notifyIcons,
               notifier,
               registry,
               QStringLiteral("/opt/dormivo")} {
    trayIconShown = false;
    gProgramsActive.clear();
}

} // namespace dormivo::test
