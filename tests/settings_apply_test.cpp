#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/settings_apply.h"
#include "shell/settings_resources.h"

namespace {

// A registry that records writes and fails on request.
struct FakeRegistry : SettingsRegistry {
    bool can_open = true;
    std::string failing_value;  // the write of this value fails
    std::map<std::string, std::string> stored;
    std::vector<std::string> order;
    int open_keys = 0;

    struct Key : SettingsKey {
        FakeRegistry& registry;
        explicit Key(FakeRegistry& r) : registry(r) { ++registry.open_keys; }
        ~Key() override { --registry.open_keys; }
        bool write(const char* name, const std::string& text) override {
            registry.order.push_back(name);
            if (registry.failing_value == name)
                return false;
            registry.stored[name] = text;
            return true;
        }
    };
    std::unique_ptr<SettingsKey> open_or_create() override { return can_open ? std::make_unique<Key>(*this) : nullptr; }
};

struct Apply : ::testing::Test {
    SettingsStore store;
    FakeRegistry registry;
    ApplyChoices choices;

    ApplyOutcome apply() { return apply_settings(store, choices, registry); }
    void set_start_log(bool on) {
        store.update([&](MonitorSettings& s) { s.start_log = on; });
    }
};

}  // namespace

TEST_F(Apply, StoresEveryValueInOrderAndEndsTheDialog) {
    set_start_log(true);
    choices = {true, false, "30", {"D:\\b", "C:\\共享", "D:\\b"}};
    ApplyOutcome outcome = apply();
    EXPECT_TRUE(outcome.stored);
    EXPECT_EQ(outcome.message, IDS_SETTINGS_SAVED);
    EXPECT_EQ(registry.order, (std::vector<std::string>{"StartLog", "SaveSession", "SaveFile", "ShareTime", "Dirs"}));
    EXPECT_EQ(registry.stored["StartLog"], "1");
    EXPECT_EQ(registry.stored["SaveSession"], "1");
    EXPECT_EQ(registry.stored["SaveFile"], "0");
    EXPECT_EQ(registry.stored["ShareTime"], "3");
    EXPECT_EQ(registry.stored["Dirs"], "D:\\b|C:\\共享|D:\\b|");
    MonitorSettings now = store.snapshot();
    EXPECT_EQ(now.share_time, 3);
    EXPECT_EQ(now.folders, (std::vector<std::string>{"D:\\b", "C:\\共享", "D:\\b"}));
    EXPECT_EQ(registry.open_keys, 0) << "the key is closed";
}

TEST_F(Apply, EmptyListAndNoIntervalSelected) {
    store.update([](MonitorSettings& s) {
        s.folders = {"D:\\old"};
        s.share_time = 9;
    });
    choices = {false, true, "", {}};
    ASSERT_TRUE(apply().stored);
    EXPECT_EQ(registry.stored["Dirs"], "");
    EXPECT_EQ(registry.stored["ShareTime"], "1");
    EXPECT_EQ(registry.stored["SaveFile"], "1");
    EXPECT_TRUE(store.snapshot().folders.empty());
}

TEST_F(Apply, LoggingOnNeedsSomethingToRecord) {
    set_start_log(true);
    choices = {false, false, "20", {}};
    ApplyOutcome outcome = apply();
    EXPECT_FALSE(outcome.stored);
    EXPECT_EQ(outcome.message, IDS_CHOOSE_CONTENT_BEFORE_APPLY);
    EXPECT_TRUE(registry.order.empty());
    EXPECT_EQ(store.snapshot().share_time, 1);
    // Open-file recording alone is enough.
    choices.record_open_files = true;
    EXPECT_TRUE(apply().stored);
    // Logging off stores whatever is checked.
    set_start_log(false);
    choices = {false, false, "20", {}};
    EXPECT_TRUE(apply().stored);
}

TEST_F(Apply, LongFolderListIsRefusedBeforeTheKeyIsTouched) {
    choices = {true, false, "40", {std::string(1500, 'a'), std::string(600, 'b')}};
    ApplyOutcome outcome = apply();
    EXPECT_FALSE(outcome.stored);
    EXPECT_EQ(outcome.message, IDS_FOLDER_LIST_TOO_LONG);
    EXPECT_TRUE(registry.order.empty());
    EXPECT_EQ(registry.open_keys, 0);
    MonitorSettings now = store.snapshot();
    EXPECT_TRUE(now.folders.empty());
    EXPECT_FALSE(now.save_session) << "nothing changes in memory either";
}

TEST_F(Apply, KeyThatCannotBeOpenedOrCreated) {
    registry.can_open = false;
    choices = {true, false, "20", {}};
    ApplyOutcome outcome = apply();
    EXPECT_FALSE(outcome.stored);
    EXPECT_EQ(outcome.message, IDS_REGISTRY_FAILED);
    EXPECT_FALSE(store.snapshot().save_session);
}

TEST_F(Apply, AFailedWriteStopsThereWithItsNumberedMessage) {
    struct Case {
        const char* value;
        unsigned message;
        std::size_t writes;
    };
    const Case cases[] = {{"StartLog", IDS_STORE_START_LOG_FAILED, 1},
                          {"SaveSession", IDS_STORE_SAVE_SESSION_FAILED, 2},
                          {"SaveFile", IDS_STORE_SAVE_FILE_FAILED, 3},
                          {"ShareTime", IDS_STORE_SHARE_TIME_FAILED, 4},
                          {"Dirs", IDS_STORE_DIRS_FAILED, 5}};
    for (const Case& c : cases) {
        SettingsStore fresh;
        FakeRegistry failing;
        failing.failing_value = c.value;
        ApplyChoices chosen{true, true, "50", {"E:\\x"}};
        ApplyOutcome outcome = apply_settings(fresh, chosen, failing);
        EXPECT_FALSE(outcome.stored) << c.value;
        EXPECT_EQ(outcome.message, c.message) << c.value;
        EXPECT_EQ(failing.order.size(), c.writes) << c.value << ": later values are not written";
        EXPECT_EQ(failing.open_keys, 0) << c.value << ": the key is closed on failure";
        // Values up to and including the failed one are already in memory.
        MonitorSettings now = fresh.snapshot();
        EXPECT_EQ(now.save_session, c.writes >= 2) << c.value;
        EXPECT_EQ(now.share_time, c.writes >= 4 ? 5 : 1) << c.value;
        EXPECT_EQ(now.folders.size(), c.writes >= 5 ? 1u : 0u) << c.value;
    }
}
