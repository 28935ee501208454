#include "FakePlatform.h"

#include "ProgramsActive.h"
#include "frmSysTray.h"

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
