// The registry calls over the hive file, read back from what was saved after every change.
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/UpdateRunEntries.h"
#include "support/RunValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
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

class RegistrySuite : public ::testing::Test {
protected:
    RegistrySuite() {
        key_ = std::string("Software\\DormivoTests\\") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    ~RegistrySuite() override { std::filesystem::remove(file_); }

    RegistryApi& api() { return *api_; }
    Registry registry() { return Registry(*api_); }
    void reopen() { api_ = std::make_unique<HiveRegistry>(file_); }
    Values listed(const std::string& path) {
        reopen();
        return test::listedValues(api(), path);
    }
    RegValue get(const std::string& name) {
        return registry().GetKeyValue(HKEY_LOCAL_MACHINE, key_, name);
    }

    const std::filesystem::path file_ =
        std::filesystem::temp_directory_path() /
        ("dormivo-suite-" + std::to_string(std::random_device{}()) + ".reg");
    std::unique_ptr<RegistryApi> api_ = std::make_unique<HiveRegistry>(file_);
    std::string key_; // of this test alone
};

using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s) {
    Bytes bytes(s.begin(), s.end());
    bytes.push_back(0);
    return bytes;
}

TEST_F(RegistrySuite, EachKindIsStoredWithItsTypeAndListed) {
    struct Case {
        const char* name;
        RegValue value;
        std::uint32_t type;
        Bytes data;
        RegValue readBack;
    };
    const Case cases[] = {
        {"ten", std::string("abcdefghij"), REG_SZ, text("abcdefghij"), std::string("abcdefghij")},
        {"empty", std::string(), REG_SZ, Bytes{0}, std::string()},
        {"small", std::int16_t(5), REG_DWORD, Bytes{5, 0, 0, 0}, std::int32_t(5)},
        {"yes", true, REG_BINARY, Bytes{0xFF}, true},
    };
    for (const auto& c : cases)
        registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, c.name, c.value);
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "real", 2.5); // unsupported: not written
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "nothing", RegValue{});
    Values expected;
    reopen();
    Key key = 0;
    ASSERT_EQ(api().openKey(HKEY_LOCAL_MACHINE, key_, 0, KEY_ALL_ACCESS, &key), 0);
    for (const auto& c : cases) { // read back from what was saved
        std::uint32_t type = 0;
        Bytes data(8000);
        auto size = static_cast<std::uint32_t>(data.size());
        const Status status = api().queryValue(key, c.name, &type, data.data(), &size);
        data.resize(size);
        EXPECT_EQ(std::tie(status, type, data), std::make_tuple(0L, c.type, c.data)) << c.name;
        EXPECT_EQ(get(c.name), c.readBack) << c.name;
        expected.insert({std::to_string(c.type), c.name});
    }
    api().closeKey(key);
    EXPECT_EQ(listed(key_), expected);
}

TEST_F(RegistrySuite, UpdateRunEntries) {
    for (const auto& [type, name] : listed(kRunKey))
        registry().DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, name);
    const VectorList three({"/opt/a b/one", "/usr/bin/two", "C:\\Tools\\three.exe"});
    const VectorList one({"/usr/bin/only"});
    const VectorList none({});
    const Values all{{"1", "Velkaro0"}, {"1", "Velkaro1"}, {"1", "Velkaro2"}};
    const Values upper{{"1", "Velkaro1"}, {"1", "Velkaro2"}};
    struct Step {
        const char* flag;
        const ProgramList* list;
        const char* index;
        Values left;
    };
    const Step steps[] = {
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
    for (const auto& step : steps) {
        Registry reg(api());
        UpdateRunEntries(reg, step.flag, step.list, step.index);
        EXPECT_EQ(listed(kRunKey), step.left) << step.flag << " " << step.index;
    }
    EXPECT_EQ(test::runValue(api(), "Velkaro2"), "C:\\Tools\\three.exe");
}

} // namespace
