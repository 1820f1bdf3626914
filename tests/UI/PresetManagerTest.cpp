#include "DriverCommon/PresetManager.h"
#include "DriverCommon/EditorNotificationNames.h"

#include "DriverCommon/PresetFile.h"
#include "DriverCommon/PresetFileLoadNotificationData.h"
#include "EditorApplicationDouble.h"
#include "EngineDoubles.h"
#include "ExceptionText.h"
#include "FakeDesktop.h"
#include "HexBytes.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/StringWrapper.h"
#include "ResultCodes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using SV::LPresetManager;
using SV::PresetFile;
using SV::RCPtr;
using SV::WideString;
using svtest::ValueStoreEngine;

// Channel 1, octave 0, transpose 0, the arpeggiator off in its default settings (the channel's
// second byte as the channel panel writes it, 0): the worked example of the file format.
// clang-format off
const Bytes kDefaultFile = {
    0x01, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,
    // channel
    0x1A, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,
    0x0E, 0x00, 0x00, 0x00,  0x01, 0x00, 0x00, 0x00,  0x0E, 0x00, 0x00, 0x00,  0x00, 0x00,
    // octave
    0x19, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x01, 0x00, 0x00, 0x00,
    0x0D, 0x00, 0x00, 0x00,  0x01, 0x00, 0x00, 0x00,  0x0E, 0x00, 0x00, 0x00,  0x04,
    // arpeggiator
    0x22, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x02, 0x00, 0x00, 0x00,
    0x16, 0x00, 0x00, 0x00,  0x01, 0x00, 0x00, 0x00,  0x0E, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x00,
    // transpose
    0x19, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x03, 0x00, 0x00, 0x00,
    0x0D, 0x00, 0x00, 0x00,  0x01, 0x00, 0x00, 0x00,  0x0E, 0x00, 0x00, 0x00,  0x0C};
// clang-format on

const std::string kOlderText =
    "Program file is not compatible with this version of the program editor";
const std::string kNewerText =
    "Program file is not compatible with this version of the program editor";

void AppendWord(Bytes& bytes, uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
}

Bytes Header(uint32_t version, uint32_t identityA = 0, uint32_t identityB = 0)
{
    Bytes bytes;
    AppendWord(bytes, version);
    AppendWord(bytes, identityA);
    AppendWord(bytes, identityB);
    return bytes;
}

// One record; every field can be made wrong.
struct Record
{
    uint32_t id = 1;
    Bytes payload = {0x04};
    uint32_t type = 14;
    uint32_t format = 1;
    uint32_t reserved = 0;
    int64_t length = -1;      // -1: 24 + payload
    int64_t variantSize = -1; // -1: 12 + payload
    Bytes surplus = {};       // after the Variant record, inside the length

    Bytes Encode() const
    {
        Bytes bytes;
        AppendWord(bytes, length >= 0
                              ? static_cast<uint32_t>(length)
                              : static_cast<uint32_t>(24 + payload.size() + surplus.size()));
        AppendWord(bytes, reserved);
        AppendWord(bytes, id);
        AppendWord(bytes, variantSize >= 0 ? static_cast<uint32_t>(variantSize)
                                           : static_cast<uint32_t>(12 + payload.size()));
        AppendWord(bytes, format);
        AppendWord(bytes, type);
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        bytes.insert(bytes.end(), surplus.begin(), surplus.end());
        return bytes;
    }
};

Bytes FileOf(Bytes header, const std::vector<Record>& records, const Bytes& tail = {})
{
    for (const Record& record : records) {
        const Bytes bytes = record.Encode();
        header.insert(header.end(), bytes.begin(), bytes.end());
    }
    header.insert(header.end(), tail.begin(), tail.end());
    return header;
}

std::string Text(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

Bytes BytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// Records what the manager sends about a load.
class LoadListener : public SV::LNotificationClient
{
public:
    void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                 const SV::ConstRCPtr<SV::LNotification>& notification) override
    {
        if (notification->GetId() == SV::GetNotificationID(SV::kNidPresetFilePreLoad)) {
            heard.push_back("pre");
            setCallsAtPreLoad = engine->SetCalls().size();
        } else if (notification->GetId() == SV::GetNotificationID(SV::kNidPresetFilePostLoad)) {
            const auto* data = dynamic_cast<const SV::LPresetFileLoadNotificationData*>(
                notification->GetPayload().Get());
            heard.push_back("post " + (data != nullptr ? std::to_string(data->GetResult())
                                                       : std::string("without result")));
        }
    }

    RCPtr<ValueStoreEngine> engine;
    std::vector<std::string> heard;
    size_t setCallsAtPreLoad = 0;
};

class PresetManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        manager = LPresetManager::Create();
        listener->engine = engine;
        listener->Register(RCPtr<SV::LNotificationDistributor>(manager), SV::kNidPresetFilePreLoad);
        listener->Register(RCPtr<SV::LNotificationDistributor>(manager),
                           SV::kNidPresetFilePostLoad);
    }

    int32_t Load(const Bytes& bytes)
    {
        folder.WriteFile("program.brv", Text(bytes));
        return manager->LoadPresetFile(Path("program.brv"));
    }

    WideString Path(const std::string& name) const { return WideString(folder.Join(name).c_str()); }

    std::set<std::string> Entries() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    svtest::FakeDesktop desktop;
    RCPtr<svtest::EditorApplicationDouble> app =
        svtest::EditorApplicationDouble::WithProgramStrings();
    RCPtr<ValueStoreEngine> engine{new ValueStoreEngine()};
    std::unique_ptr<svtest::EngineHost> host = std::make_unique<svtest::EngineHost>(engine);
    svtest::TempFolder folder;
    RCPtr<LPresetManager> manager;
    RCPtr<LoadListener> listener{new LoadListener()};
};

TEST_F(PresetManagerTest, SavingTheDefaultProgramWritesTheWorkedExample)
{
    engine->SetValues({{0x00, 0x00}, {0x04}, {0, 0, 0, 0, 0, 0, 0x02, 0, 0x78, 0}, {0x0C}});
    EXPECT_EQ(manager->SavePresetFile(Path("default.brv")), S_OK);
    EXPECT_EQ(svtest::ToHex(BytesOf(folder.ReadFile("default.brv"))), svtest::ToHex(kDefaultFile));
    EXPECT_EQ(Entries(), std::set<std::string>{"default.brv"});

    // Saving again replaces the file whole.
    folder.WriteFile("default.brv", std::string(500, 'x'));
    EXPECT_EQ(manager->SavePresetFile(Path("default.brv")), S_OK);
    EXPECT_EQ(BytesOf(folder.ReadFile("default.brv")), kDefaultFile);
}

TEST_F(PresetManagerTest, AProgramSavedLoadsBackIntoTheEngineRecordByRecordInFileOrder)
{
    const std::vector<Bytes> program = {
        {0x05, 0x00}, {0x06}, {0x01, 0x02, 0x03, 0x01, 0x01, 0x05, 0x04, 0x01, 0x70, 0x03}, {0x18}};
    engine->SetValues(program);
    ASSERT_EQ(manager->SavePresetFile(Path("program.brv")), S_OK);

    engine->SetValues({});
    EXPECT_EQ(manager->LoadPresetFile(Path("program.brv")), 0);
    EXPECT_EQ(engine->SetCalls(),
              (std::vector<ValueStoreEngine::SetCall>{
                  {0, program[0]}, {1, program[1]}, {2, program[2]}, {3, program[3]}}));
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"pre", "post 0"}));
    EXPECT_EQ(listener->setCallsAtPreLoad, 0u) << "sent before the file is read";
    EXPECT_TRUE(desktop.messageBoxes.empty()) << "a load shows nothing itself";
}

TEST_F(PresetManagerTest, FilesThatLoadApplyWhatTheyHold)
{
    const struct
    {
        const char* what;
        Bytes file;
        std::vector<ValueStoreEngine::SetCall> applied;
    } cases[] = {
        {"the header alone", Header(1), {}},
        {"records in another order, some missing",
         FileOf(Header(1), {{.id = 3, .payload = {0x0E}}, {.id = 1, .payload = {0x02}}}),
         {{3, {0x0E}}, {1, {0x02}}}},
        {"surplus bytes after a Variant record",
         FileOf(Header(1), {{.id = 0, .payload = {0x03, 0x00}, .surplus = {0xAA, 0xBB}}}),
         {{0, {0x03, 0x00}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host = nullptr;
        engine = new ValueStoreEngine();
        host = std::make_unique<svtest::EngineHost>(engine);
        EXPECT_EQ(Load(c.file), 0);
        EXPECT_EQ(engine->SetCalls(), c.applied);
    }
}

TEST_F(PresetManagerTest, ABadFileIsRefusedWholeWithItsResultAndItsMessage)
{
    using Show = void (*)();
    const Record octave;
    const Bytes header = Header(1);
    const Record channel{.id = 0, .payload = {0x05, 0x00}};
    const struct
    {
        const char* what;
        Bytes file;
        int32_t result;
        Show show; // what the device view shows for the result
        const std::string& text;
    } cases[] = {
        {"version 0", FileOf(Header(0), {octave}), -1, &LPresetManager::ShowLoadOlderMessage,
         kOlderText},
        {"version 2", FileOf(Header(2), {octave}), -2, &LPresetManager::ShowLoadNewerMessage,
         kNewerText},
        {"version FFFFFFFF, read unsigned", Header(0xFFFFFFFF), -2,
         &LPresetManager::ShowLoadNewerMessage, kNewerText},
        {"another device, even with a newer version", Header(3, 1, 0), -4,
         &LPresetManager::ShowLoadWrongDeviceMessage, kOlderText},
        {"second identity word", Header(1, 0, 7), -4, &LPresetManager::ShowLoadWrongDeviceMessage,
         kOlderText},
        {"empty file", {}, -3, &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"ends inside the header", Bytes(header.begin(), header.begin() + 8), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"length 0, which never moves on", FileOf(Header(1), {{.length = 0}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"length 3", FileOf(Header(1), {{.length = 3}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"length 11", FileOf(Header(1), {{.length = 11}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"length 15", FileOf(Header(1), {{.length = 15}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"length beyond the end of the file", FileOf(Header(1), {{.length = 0xFFFFFFF0}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"reserved word not 0", FileOf(Header(1), {{.reserved = 1}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"two bytes after the last record", FileOf(Header(1), {octave}, {0x19, 0x00}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"Variant format 2", FileOf(Header(1), {{.format = 2}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"Variant type 17", FileOf(Header(1), {{.type = 17}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"Variant larger than its record", FileOf(Header(1), {{.variantSize = 14}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"parameter id 7", FileOf(Header(1), {{.id = 7}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"parameter id -1", FileOf(Header(1), {{.id = 0xFFFFFFFF}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"a byte that is no byte blob", FileOf(Header(1), {{.type = 3}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"a blob of another size than its module's", FileOf(Header(1), {{.payload = {4, 0}}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"one id twice", FileOf(Header(1), {octave, octave}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"a good record before a bad one", FileOf(Header(1), {channel, {.reserved = 9}}), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
        {"larger than any program file", FileOf(Header(1), {octave}, Bytes(70000, 0)), -3,
         &LPresetManager::ShowLoadCorruptMessage, kOlderText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        listener->heard.clear();
        desktop.messageBoxes.clear();
        EXPECT_EQ(Load(c.file), c.result);
        EXPECT_TRUE(engine->SetCalls().empty()) << "a failed load changes nothing";
        EXPECT_EQ(listener->heard,
                  (std::vector<std::string>{"pre", "post " + std::to_string(c.result)}));
        c.show();
        ASSERT_EQ(desktop.messageBoxes.size(), 1u);
        EXPECT_EQ(desktop.messageBoxes[0].text, c.text);
        EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Load");
        EXPECT_EQ(desktop.messageBoxes[0].style, 0x10u);
    }
}

// A file that was never read is not called incompatible: the box names it and says it could not
// be read. A FIFO is refused at once, without waiting for somebody to write into it.
TEST_F(PresetManagerTest, AFileThatCannotBeReadIsReportedAsSuchNamingIt)
{
    folder.MakeFolder("folder.brv");
    ASSERT_EQ(mkfifo(folder.Join("fifo.brv").c_str(), 0600), 0);
    for (const char* name : {"missing.brv", "folder.brv", "fifo.brv"}) {
        SCOPED_TRACE(name);
        listener->heard.clear();
        desktop.messageBoxes.clear();
        EXPECT_EQ(manager->LoadPresetFile(Path(name)), PresetFile::kUnreadable);
        EXPECT_EQ(listener->heard, (std::vector<std::string>{"pre", "post -6"}));
        LPresetManager::ShowLoadUnreadableMessage(Path(name));
        ASSERT_EQ(desktop.messageBoxes.size(), 1u);
        EXPECT_EQ(desktop.messageBoxes[0].text,
                  "The program file could not be read: " + folder.Join(name));
        EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Load");
        EXPECT_EQ(desktop.messageBoxes[0].style, 0x10u);
    }
    EXPECT_TRUE(engine->SetCalls().empty());
}

TEST_F(PresetManagerTest, WithoutAnEngineAGoodFileCannotBeTakenIn)
{
    host = nullptr;
    EXPECT_EQ(Load(kDefaultFile), -5);
    LPresetManager::ShowTranslationFailureMessage();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, kOlderText);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Load");
}

TEST_F(PresetManagerTest, AFailedSaveLeavesTheOldFileAndNothingElse)
{
    const std::string old = "the old program";
    const struct
    {
        const char* what;
        std::vector<Bytes> values;
    } refused[] = {
        {"three values", {{0x00, 0x02}, {0x04}, Bytes(10, 0)}},
        {"no values", {}},
        {"an octave of two bytes", {{0x00, 0x02}, {0x04, 0x00}, Bytes(10, 0), {0x0C}}},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        folder.WriteFile("old.brv", old);
        engine->SetValues(c.values);
        EXPECT_EQ(manager->SavePresetFile(Path("old.brv")), E_FAIL);
        EXPECT_EQ(folder.ReadFile("old.brv"), old);
        EXPECT_EQ(Entries(), std::set<std::string>{"old.brv"});
    }

    engine->SetValues({{0x00, 0x02}, {0x04}, Bytes(10, 0), {0x0C}});
    EXPECT_EQ(manager->SavePresetFile(Path("missing/program.brv")), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(folder.Join("missing")));

    // A folder of that name is no program file to replace.
    folder.MakeFolder("taken.brv");
    folder.WriteFile("taken.brv/inside", old);
    EXPECT_EQ(manager->SavePresetFile(Path("taken.brv")), E_FAIL);
    EXPECT_EQ(folder.ReadFile("taken.brv/inside"), old);

    // A read-only file is not replaced, even by a user who could write it anyway (root).
    ASSERT_EQ(chmod(folder.Join("old.brv").c_str(), 0444), 0);
    EXPECT_EQ(manager->SavePresetFile(Path("old.brv")), E_FAIL);
    EXPECT_EQ(folder.ReadFile("old.brv"), old);
    ASSERT_EQ(chmod(folder.Join("old.brv").c_str(), 0644), 0);
    EXPECT_EQ(Entries(), (std::set<std::string>{"old.brv", "taken.brv"}));

    // Files of others' named as temporary files are no obstacle, however many there are, and
    // stay as they are.
    folder.MakeFolder("old.brv.tmp");
    for (int32_t index = 1; index < 100; ++index) {
        folder.WriteFile("old.brv.tmp" + std::to_string(index), "somebody's");
    }
    EXPECT_EQ(manager->SavePresetFile(Path("old.brv")), S_OK);
    EXPECT_EQ(folder.ReadFile("old.brv").size(), 122u);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Join("old.brv.tmp")));
    EXPECT_EQ(folder.ReadFile("old.brv.tmp99"), "somebody's");
    EXPECT_EQ(Entries().size(), 102u);
    folder.WriteFile("old.brv", old);

    host = nullptr;
    EXPECT_EQ(manager->SavePresetFile(Path("old.brv")), E_FAIL);
    EXPECT_EQ(folder.ReadFile("old.brv"), old);

    LPresetManager::ShowSaveFailedMessage();
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Program File Save");
    EXPECT_EQ(desktop.messageBoxes[0].text,
              "The program could not be saved to this file. A file that was already there is "
              "unchanged.");
    EXPECT_EQ(desktop.messageBoxes[0].style, 0x10u);
}

TEST_F(PresetManagerTest, SavingThroughALinkWritesItsTargetWhichKeepsItsPermissions)
{
    folder.MakeFolder("programs");
    folder.WriteFile("programs/real.brv", "the old program");
    ASSERT_EQ(chmod(folder.Join("programs/real.brv").c_str(), 0600), 0);
    ASSERT_EQ(symlink("programs/real.brv", folder.Join("link.brv").c_str()), 0);
    engine->SetValues({{0x00, 0x00}, {0x04}, {0, 0, 0, 0, 0, 0, 0x02, 0, 0x78, 0}, {0x0C}});
    EXPECT_EQ(manager->SavePresetFile(Path("link.brv")), S_OK);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Join("link.brv")));
    EXPECT_EQ(BytesOf(folder.ReadFile("programs/real.brv")), kDefaultFile);
    struct stat status
    {};
    ASSERT_EQ(stat(folder.Join("programs/real.brv").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

TEST_F(PresetManagerTest, AWriteThatFailsHalfWayLeavesTheOldFile)
{
    folder.WriteFile("old.brv", "the old program");
    // Files may not grow past 100 bytes for a moment: the write of the 122-byte file fails as
    // on a full disk.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{100, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t result = manager->SavePresetFile(Path("old.brv"));
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, E_FAIL);
    EXPECT_EQ(folder.ReadFile("old.brv"), "the old program");
    EXPECT_EQ(Entries(), std::set<std::string>{"old.brv"});
}

TEST_F(PresetManagerTest, ALoadRequestOnTheApplicationCentreLoadsItsFile)
{
    folder.WriteFile("asked.brv", Text(kDefaultFile));
    const RCPtr<SV::LNotificationCenter> center = app->GetNotificationCenter();
    ASSERT_TRUE(center);
    center->Post(SV::CreateNotification(SV::kNidGlobalLoadControlPanelSettings,
                                        SV::CreateStringWrapper(Path("asked.brv"))));
    // Anything but a path is no request.
    center->Post(SV::CreateNotification(SV::kNidGlobalLoadControlPanelSettings));
    center->Post(SV::CreateNotification(SV::kNidGlobalLoadControlPanelSettings,
                                        RCPtr<SV::LHolder<int>>(new SV::LHolder<int>(3))));
    EXPECT_TRUE(engine->SetCalls().empty()) << "posted requests wait for the idle pass";
    SV::GetNotificationCenterManager()->ProcessAll(false);
    EXPECT_EQ(engine->SetCalls().size(), 4u);
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"pre", "post 0"}));
    EXPECT_TRUE(desktop.messageBoxes.empty());

    // Once the manager has gone, a request reaches nobody.
    manager = nullptr;
    center->Post(SV::CreateNotification(SV::kNidGlobalLoadControlPanelSettings,
                                        SV::CreateStringWrapper(Path("asked.brv"))));
    SV::GetNotificationCenterManager()->ProcessAll(false);
    EXPECT_EQ(engine->SetCalls().size(), 4u);
}

TEST(PresetManagerWithoutApplication, CreateThrowsWhenItCannotRegister)
{
    EXPECT_EQ(svtest::ExceptionTextOf<SV::Exception<SV::FailedResultException>>(
                  [] { LPresetManager::Create(); }),
              "Failed Result : SVRESULT = 80070057 : SV::LPresetManager::Create : "
              "UI\\DriverCommon\\PresetManager : Line 29");
}

} // namespace
