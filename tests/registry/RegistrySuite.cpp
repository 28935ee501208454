// One suite for every registry backend: each must behave as the Windows registry does.
#include "registry/HiveRegistry.h"
#include "registry/Registry.h"
#include "registry/UpdateRunEntries.h"
#ifdef _WIN32
#include "registry/Win32Registry.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <tuple>

using namespace dormivo;
using namespace dormivo::registry;

namespace {

// A backend under test; reopen() makes a file-kept hive forget what it holds in memory
// and read its file again, so that every check after it reads what was saved.
class Backend {
public:
    virtual ~Backend() = default;
    virtual RegistryApi& api() = 0;
    virtual void reopen() {}
};

// The in-memory hive when given no file; a file-kept one reads its file again at reopen().
class HiveBackend final : public Backend {
public:
    explicit HiveBackend(std::filesystem::path file = {}) : file_(std::move(file)) {
        if (!file_.empty())
            std::filesystem::remove(file_);
        hive_ = file_.empty() ? std::make_unique<HiveRegistry>()
                              : std::make_unique<HiveRegistry>(file_);
    }
    ~HiveBackend() override {
        if (!file_.empty())
            std::filesystem::remove(file_);
    }
    RegistryApi& api() override { return *hive_; }
    void reopen() override {
        if (!file_.empty())
            hive_ = std::make_unique<HiveRegistry>(file_);
    }

private:
    std::filesystem::path file_;
    std::unique_ptr<HiveRegistry> hive_;
};

#ifdef _WIN32
class Win32Backend final : public Backend {
public:
    RegistryApi& api() override { return registry_; }

private:
    Win32Registry registry_;
};
#endif

struct BackendKind {
    const char* name;
    std::function<std::unique_ptr<Backend>()> make;
};

std::vector<BackendKind> backends() {
    std::vector<BackendKind> kinds{
        {"Memory", [] { return std::make_unique<HiveBackend>(); }},
        {"File",
         [] {
             return std::make_unique<HiveBackend>(
                 std::filesystem::temp_directory_path() /
                 ("dormivo-suite-" + std::to_string(std::random_device{}()) + ".reg"));
         }},
    };
#ifdef _WIN32
    kinds.push_back({"Win32", [] { return std::make_unique<Win32Backend>(); }});
#endif
    return kinds;
}

class VectorList final : public ProgramList {
public:
    explicit VectorList(std::vector<std::string> items) : items_(std::move(items)) {}
    int count() const override { return static_cast<int>(items_.size()); }
    std::string item(int position) const override { return items_[position]; }

private:
    std::vector<std::string> items_;
};

class RegistrySuite : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override {
        backend_ = GetParam().make();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        key_ = std::string("Software\\DormivoTests\\") + info->name();
        for (auto& c : key_)
            if (c == '/')
                c = '_';
        clear(key_);
        clear(kRunKey);
    }

    RegistryApi& api() { return backend_->api(); }
    Registry registry() { return Registry(api()); }

    // Removes every value of a key, so that each test starts from nothing.
    void clear(const std::string& path) {
        Key key = 0;
        if (api().openKey(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != 0)
            return;
        ValueTable table;
        registry().ListValues(key, table);
        for (const auto& [type, name] : table)
            api().deleteValue(key, name);
        api().closeKey(key);
    }

    // Type and raw data of a value as stored, read straight from the backend.
    struct Stored {
        long status = -1;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };
    Stored stored(const std::string& path, const std::string& name) {
        backend_->reopen();
        Stored result;
        Key key = 0;
        result.status = api().openKey(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key);
        if (result.status != 0)
            return result;
        std::uint32_t size = 0;
        result.status = api().queryValue(key, name, &result.type, nullptr, &size);
        if (result.status == 0) {
            result.data.resize(size);
            result.status = api().queryValue(key, name, &result.type, result.data.data(), &size);
        }
        api().closeKey(key);
        return result;
    }

    std::set<std::pair<std::string, std::string>> listed(const std::string& path) {
        backend_->reopen();
        Key key = 0;
        registry().OpenKey(HKEY_LOCAL_MACHINE, path, key);
        ValueTable table;
        registry().ListValues(key, table);
        registry().CloseKey(key);
        return {table.begin(), table.end()};
    }

    RegValue get(const std::string& name) {
        backend_->reopen();
        return registry().GetKeyValue(HKEY_LOCAL_MACHINE, key_, name);
    }

    std::unique_ptr<Backend> backend_;
    std::string key_;
};

using Bytes = std::vector<std::uint8_t>;
using Values = std::set<std::pair<std::string, std::string>>;

Bytes text(const std::string& s) {
    Bytes bytes(s.begin(), s.end());
    bytes.push_back(0);
    return bytes;
}

TEST_P(RegistrySuite, EachKindIsStoredWithItsTypeAndListed) {
    struct Case {
        const char* name;
        RegValue value;
        std::uint32_t type;
        Bytes data;
        RegValue readBack;
    };
    const std::string longText(5000, 'x');
    const Case cases[] = {
        {"ten", std::string("abcdefghij"), REG_SZ, text("abcdefghij"), std::string("abcdefghij")},
        {"empty", std::string(), REG_SZ, Bytes{0}, std::string()},
        {"long", longText, REG_SZ, text(longText), longText},
        {"small", std::int16_t(5), REG_DWORD, Bytes{5, 0, 0, 0}, std::int32_t(5)},
        {"negative", std::int32_t(-2), REG_DWORD, Bytes{0xFE, 0xFF, 0xFF, 0xFF}, std::int32_t(-2)},
        {"yes", true, REG_BINARY, Bytes{0xFF}, true},
        {"no", false, REG_BINARY, Bytes{0x00}, false},
    };
    for (const auto& c : cases)
        registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, c.name, c.value);
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "real", 2.5); // unsupported: not written
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "nothing", RegValue{});
    Values expected;
    for (const auto& c : cases) {
        const Stored s = stored(key_, c.name);
        EXPECT_EQ(std::make_tuple(s.status, s.type, s.data), std::make_tuple(0L, c.type, c.data))
            << c.name;
        EXPECT_EQ(get(c.name), c.readBack) << c.name;
        expected.insert({std::to_string(c.type), c.name});
    }
    EXPECT_EQ(listed(key_), expected);
}

TEST_P(RegistrySuite, NamesIgnoreLetterCaseAndOverwritingChangesTheType) {
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "Velkaro0", std::int32_t(7));
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "velkaro0", std::string("/bin/b"));
    EXPECT_EQ(listed(key_), (Values{{"1", "Velkaro0"}}));
    EXPECT_EQ(get("VELKARO0"), RegValue(std::string("/bin/b")));
    registry().DeleteKeyValue(HKEY_LOCAL_MACHINE, key_, "VELKARO0");
    EXPECT_TRUE(listed(key_).empty());
}

TEST_P(RegistrySuite, DeletingWhatIsNotThereChangesNothing) {
    registry().SetKeyValue(HKEY_LOCAL_MACHINE, key_, "keep", std::string("x"));
    registry().DeleteKeyValue(HKEY_LOCAL_MACHINE, key_, "missing");
    registry().DeleteKeyValue(HKEY_LOCAL_MACHINE, key_ + "\\NoSuchKey", "keep");
    EXPECT_EQ(listed(key_), (Values{{"1", "keep"}}));
    EXPECT_EQ(registry().GetKeyValue(HKEY_LOCAL_MACHINE, key_ + "\\NoSuchKey", "keep"), RegValue{});
}

TEST_P(RegistrySuite, RawCallsReportLikeWindows) {
    Key key = 0;
    EXPECT_EQ(api().openKey(HKEY_LOCAL_MACHINE, key_ + "\\Absent", 0, KEY_ALL_ACCESS, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    ASSERT_EQ(api().createKey(HKEY_LOCAL_MACHINE, key_, 0, KEY_ALL_ACCESS, &key), 0);
    const std::uint8_t text[] = "12345";
    ASSERT_EQ(api().setValue(key, "t", REG_SZ, text, sizeof text), 0);
    std::uint8_t small[3];
    std::uint32_t size = sizeof small;
    EXPECT_EQ(api().queryValue(key, "t", nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    char name[8];
    std::uint32_t nameChars = sizeof name;
    std::uint32_t type = 0;
    size = 0;
    EXPECT_EQ(api().enumValue(key, 0, name, &nameChars, &type, nullptr, &size), 0);
    EXPECT_EQ(std::string(name, nameChars), "t");
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
    nameChars = sizeof name;
    EXPECT_EQ(api().enumValue(key, 1, name, &nameChars, &type, nullptr, &size),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(api().deleteValue(key, "absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(api().closeKey(key), 0);
    EXPECT_FALSE(registry().CloseKey(0));
}

TEST_P(RegistrySuite, UpdateRunEntries) {
    const VectorList three({"/opt/a b/one", "/usr/bin/two", "C:\\Tools\\three.exe"});
    const VectorList empty({});
    const VectorList one({"/usr/bin/only"});
    const auto update = [this](const char* flag, const ProgramList* list, const char* index) {
        Registry reg(api());
        UpdateRunEntries(reg, flag, list, index);
    };

    update("1", &empty, "");
    update("0", &empty, "");
    EXPECT_TRUE(listed(kRunKey).empty()) << "an empty list does nothing";

    update("1", &three, "");
    EXPECT_EQ(listed(kRunKey), (Values{{"1", "Velkaro0"}, {"1", "Velkaro1"}, {"1", "Velkaro2"}}));
    EXPECT_EQ(registry().GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, "Velkaro2"),
              RegValue(std::string("C:\\Tools\\three.exe")));

    update("1", nullptr, "2");
    EXPECT_EQ(listed(kRunKey), (Values{{"1", "Velkaro0"}, {"1", "Velkaro1"}}));
    update("1", &three, "1");
    EXPECT_EQ(listed(kRunKey), (Values{{"1", "Velkaro0"}})) << "an index deletes only its value";
    update("1", &three, "");
    update("0", nullptr, "0.5"); // halves go to the even neighbour: Velkaro0
    EXPECT_EQ(listed(kRunKey), (Values{{"1", "Velkaro1"}, {"1", "Velkaro2"}}));

    update("1", &three, "");
    update("0", &one, "");
    EXPECT_EQ(listed(kRunKey), (Values{{"1", "Velkaro1"}, {"1", "Velkaro2"}}))
        << "higher values left from a longer list stay";
    update("", &three, "");
    EXPECT_TRUE(listed(kRunKey).empty()) << "an inactive list deletes its positions";
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistrySuite, ::testing::ValuesIn(backends()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
