#pragma once

#include <string>

namespace dormivo {

// Whether the programs list is switched on, held for the whole run: only exactly "1" means
// on. Set from the stored settings at start-up and by the programs dialog; read by Start and
// the expiry.
inline std::string gProgramsActive;

} // namespace dormivo
