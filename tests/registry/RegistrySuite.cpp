// The Run values that the programs list keeps, read back from what was saved after every change.
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/UpdateRunEntries.h"
#include "support/RunValues.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

using namespace dormivo;
using namespace dormivo::registry;
using Values = test::ValueSet;

namespace {

class VectorList final : public ProgramList {
public:
    explicit VectorList(std::vector<std::string> items) : items_(std::move(items)) {}
    int count() const override { return static_cast<int>(items_.size()); }
    std::string item(int position) const override { return items_[position]; }

private:
    std::vector<std::string> items_;
};

TEST(RegistrySuite, UpdateRunEntries) {
    const QTemporaryDir temporary;
    const std::filesystem::path file = temporary.path().toStdString() + "/HKLM.reg";
    HiveRegistry hive(file);
    const VectorList three({"/opt/a b/one", "/usr/bin/two", "C:\\Tools\\three.exe"});
    const VectorList one({"/usr/bin/only"});
    const VectorList none({});
    const Values all{{"1", "Velkaro0"}, {"1", "Velkaro1"}, {"1", "Velkaro2"}};
    const Values upper{{"1", "Velkaro1"}, {"1", "Velkaro2"}};
    const std::tuple<const char*, const ProgramList*, const char*, Values> steps[] = {
        {"1", &none, "", {}},
        {"1", &three, "", all},
        {"", &three, "", {}}, // an inactive list deletes its positions
        {"1", &three, "", all},
        {"0", nullptr, "0.5", upper},            // halves go to the even neighbour: Velkaro0
        {"1", &three, "2", {{"1", "Velkaro1"}}}, // an index deletes its value alone
        {"1", &three, "", all},
        {"0", &one, "", upper}, // values above a shorter list stay
        {"1", &three, "", all},
    };
    for (const auto& [flag, list, index, left] : steps) {
        Registry registry(hive);
        UpdateRunEntries(registry, flag, list, index);
        HiveRegistry saved(file);
        EXPECT_EQ(test::listedValues(saved), left) << flag << " " << index;
    }
    EXPECT_EQ(test::runValue(hive, "Velkaro2"), "C:\\Tools\\three.exe");
}

} // namespace
