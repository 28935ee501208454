#include "store/SettingsFailure.h"

#include <sqlite3.h>

#include <filesystem>

namespace dormivo {
namespace {

struct Explanation {
    std::string problem;
    std::string remedy;
};

const std::string kReplace = "Restore it from a backup, or delete it and reinstall Dormivo to get "
                             "the default settings back.";

Explanation explain(const std::string& file, const StoreError& error) {
    // The engine keeps writing to the file it opened; once that is gone from its folder, every
    // change would be lost, so the engine refuses them.
    if (error.code() == SQLITE_READONLY_DBMOVED)
        return {"The file was deleted or moved away while Dormivo was running.",
                "Put it back where it was, or end Dormivo and start it again."};
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored))
        return {"The file is missing.",
                "Reinstall Dormivo, or put the settings file back in that folder."};
    if (std::string_view(error.what()).starts_with("no such table"))
        return {"The file lacks a table Dormivo keeps its settings in.", kReplace};
    switch (error.code() & 0xff) {
    case SQLITE_NOTADB:
        return {"The file is not Dormivo's settings file, or it was saved with a different "
                "password.",
                kReplace};
    case SQLITE_CORRUPT:
        return {"The file is damaged.", kReplace};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {"Another program has locked the file.",
                "Close the other program (for example a database browser or a second Dormivo) "
                "and try again."};
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return {"You are not allowed to read or change the file.",
                "Make the file and its folder readable and writable for your user, then try "
                "again."};
    default:
        return {"The file cannot be used.", kReplace};
    }
}

} // namespace

std::string settingsFailureMessage(const std::string& file, const std::string& problem,
                                   const std::string& remedy, const std::string& detail) {
    return "Dormivo cannot use its settings file\n" +
           std::filesystem::path(file).make_preferred().string() + "\n\n" + problem + "\n" +
           remedy + "\n\n(" + detail + ")";
}

std::string describeSettingsFailure(const std::string& file, const StoreError& error) {
    const Explanation explanation = explain(file, error);
    return settingsFailureMessage(file, explanation.problem, explanation.remedy, error.what());
}

} // namespace dormivo
