// The "lun" mode and its "info" sub-mode, run against the stand-in.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const std::string kT1 = "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:10:01";
const std::string kT2 = "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:20:01";  // NVMe
const std::string kT3 = "FC_21:00:00:c8:a1:30:01:80_Target_50:00:c8:a1:00:00:10:02";  // virtual port
const std::string kT1b = "FC_21:00:00:c8:a1:30:01:01_Target_50:00:c8:a1:00:00:10:01";
const std::string kT4 = "FC_10:00:00:c8:a1:16:42:07_Target_50:00:c8:a1:00:00:30:01";

const std::string kUsage = "Usage: get [port identifier]\r\n";

unsigned LastStatus(const Sandbox& box) {
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  const std::string mark = "main: Program Exit Code: (";
  const size_t at = log.rfind(mark);
  return at == std::string::npos ? 9999u : static_cast<unsigned>(std::stoul(log.substr(at + mark.size())));
}

std::string LunText(const std::string& block) {
  return kStars + "LunInformation:\nMessage: Success\nLunInfo: LunInfoList:\nData: " + block + kStars;
}

std::string LunError(const std::string& message) {
  return kStars + "LunInformation:\nMessage: " + message + "\nLunInfo: " + kStars;
}

std::string ListText(const std::vector<std::string>& ids) {
  std::string text = kStars;
  for (const std::string& id : ids) text += "LunList:\nLUNs/Namespaces: " + id + "\n";
  return text + kStars;
}

}  // namespace

TEST(LunList, EveryLunEntryOfEveryTargetNamedByTheTargetsKind) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  // The NVMe target lists all three entries although its count says 2; the
  // namespace-flagged LUN of an FCP target is still a "_LUN_".
  const std::vector<std::string> ids = {
      kT1 + "_LUN_0",  kT1 + "_LUN_1",  kT1 + "_LUN_2",  kT2 + "_NSID_1", kT2 + "_NSID_2", kT2 + "_NSID_3",
      kT3 + "_LUN_0",  kT1b + "_LUN_4", kT4 + "_LUN_0",  kT4 + "_LUN_5",  kT4 + "_LUN_7",  kT4 + "_LUN_9",
  };
  EXPECT_EQ(box.Run({"-t", "lun", "listcli"}).out, ListText(ids));
  std::string xml = kXmlHead + "<list type=\"structure\">\n";
  for (const std::string& id : ids)
    xml += "<structure typeName=\"LunList\">\n<field name=\"LUNs/Namespaces\">\n<string>" + id +
           "</string></field>\n</structure>\n";
  EXPECT_EQ(box.Run({"-t", "lun", "list"}).out, xml + "</list>\n</output>\n");
}

TEST(LunList, EmptyHelpAndNoInventory) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
    {"wwpn": "21:00:00:00:00:00:00:01", "targets": [{"wwpn": "50:00:00:00:00:00:00:01"}]}]}]}]})");
  EXPECT_EQ(box.Run({"-t", "lun", "listcli"}).out, kStars + kStars);
  EXPECT_EQ(LastStatus(box), 0u);
  EXPECT_EQ(box.Run({"-t", "lun", "listcli", "help"}).out, "Usage: list\r\n");
  EXPECT_EQ(LastStatus(box), 5u);
  box.UseFixtureText(R"({"noAdapterList": true})");
  EXPECT_EQ(box.Run({"-t", "lun", "list"}).out, "");
  EXPECT_EQ(LastStatus(box), 14u);
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", kT1 + "_LUN_0"}).out, LunError("Failed, Host not found"));
  EXPECT_EQ(LastStatus(box), 14u);
}

TEST(LunMode, HelpListings) {
  Sandbox box;
  EXPECT_EQ(box.Run({"-t", "lun", "help"}).out,
            "\r\nFollowing is the list of available commands in the LUN command mode.\r\n"
            "For detailed information of each command, please type 'command ?'\r\n"
            "All commands are case insensitive.\r\n\r\n"
            "list        : Discover list of Kaltex FC LUNs\r\n"
            "help        : list of available commands\r\n"
            "listcli     : Discover list of Kaltex FC LUNs\r\n"
            "info        : use this command to get Kaltex FC LUN info\r\n");
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", "?"}).out, kUsage);
}

TEST(LunIdentifier, KindWordAndExactText) {
  Sandbox box;
  box.SetEnv("KXFC_DEBUG_LEVEL", "5");
  box.UseFixture("target-basic.json");
  struct Case {
    std::string identifier;
    unsigned status;
    const char* message;
  };
  const Case cases[] = {
      {kT2 + "_LUN_1", 6, "Failed, Invalid parameter"},   // a namespace named as a LUN
      {kT1 + "_NSID_1", 6, "Failed, Invalid parameter"},  // a LUN named as a namespace
      {kT1 + "_lun_1", 6, "Failed, Invalid parameter"},   // the word passes, the text does not
      {kT1 + "_DISK_1", 6, "Failed, Invalid parameter"},
      {kT1 + "_LUN_3", 6, "Failed, Invalid parameter"},
      {kT1 + "_LUN_01", 6, "Failed, Invalid parameter"},
      {"FC_21:00:00:C8:A1:30:01:00_Target_50:00:c8:a1:00:00:10:01_LUN_1", 6, "Failed, Invalid parameter"},
      {kT1, 6, "Failed, Invalid parameter"},
      {"FC_21:00:00:c8:a1:30:01:00_Tgt_50:00:c8:a1:00:00:10:01_LUN_1", 6, "Failed, Invalid parameter"},
      {"-help", 5, "Failed, Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", c.identifier}).out, LunError(c.message) + kUsage)
        << c.identifier;
    EXPECT_EQ(LastStatus(box), c.status) << c.identifier;
  }
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  EXPECT_NE(log.find("Invalid LUN/NSID identifier " + kT1 + "_DISK_1"), std::string::npos);
  EXPECT_NE(log.find("Invalid Tgt identifier FC_21:00:00:c8:a1:30:01:00_Tgt_"), std::string::npos);
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "get", kT2 + "_LUN_1"}).out,
            kXmlHead + "<structure typeName=\"LunInformation\">\n<field name=\"Message\">\n"
                       "<string>Failed, Invalid parameter</string></field>\n<field name=\"LunInfo\">\n"
                       "<list type=\"structure\">\n</list>\n</field>\n</structure>\n</output>\n");
}

TEST(LunInfo, SizesUniqueIdsAndTheEntrysOwnKind) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  struct Case {
    std::string identifier;
    std::string block;
  };
  const Case cases[] = {
      // Full-width character fields; 2048 blocks of 512 bytes are 1 MB.
      {kT4 + "_LUN_0",
       "Vendor ID: KALTEXVD\n"
       "      Product ID: VIRTUAL-DISK-016\n"
       "      Product Revision: 1.0a\n"
       "      Lun Number: 0\n"
       "      Lun Size In MB: 1\n"
       "      Lun Worldwide Unique ID: 60:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:16:17:18\n"},
      // 2^33 blocks of 512 bytes: 4 TiB, beyond 32 bits; an all-zero ID is "NA" whatever its length.
      {kT4 + "_LUN_5",
       "Vendor ID: KALTEX\n"
       "      Product ID: BIGDISK\n"
       "      Product Revision: 2\n"
       "      Lun Number: 5\n"
       "      Lun Size In MB: 4194304\n"
       "      Lun Worldwide Unique ID: NA\n"},
      // Less than one MB rounds down; a non-zero ID of length 0 is empty.
      {kT4 + "_LUN_7",
       "Vendor ID: \n"
       "      Product ID: \n"
       "      Product Revision: \n"
       "      Lun Number: 7\n"
       "      Lun Size In MB: 0\n"
       "      Lun Worldwide Unique ID: \n"},
      // The entry's namespace flag chooses the namespace lines under an FCP target.
      {kT4 + "_LUN_9",
       "Vendor ID: KALTEX\n"
       "      Product ID: NSDISK\n"
       "      Product Revision: NVREV001\n"
       "      Namespace ID: 9\n"
       "      Namespace Size In MB: 16\n"},
      // A namespace of an NVMe target whose entry lacks the flag is shown as a LUN.
      {kT2 + "_NSID_3",
       "Vendor ID: \n"
       "      Product ID: \n"
       "      Product Revision: \n"
       "      Lun Number: 3\n"
       "      Lun Size In MB: 0\n"
       "      Lun Worldwide Unique ID: NA\n"},
      // LUNs seen through a virtual port resolve too.
      {kT3 + "_LUN_0",
       "Vendor ID: \n"
       "      Product ID: \n"
       "      Product Revision: \n"
       "      Lun Number: 0\n"
       "      Lun Size In MB: 0\n"
       "      Lun Worldwide Unique ID: NA\n"},
  };
  for (const Case& c : cases) {
    Result r = box.Run({"-t", "lun", "-v", "info", "getcli", c.identifier});
    EXPECT_EQ(r.out, LunText(c.block)) << c.identifier;
  }
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "get", kT4 + "_LUN_9"}).out,
            kXmlHead + "<structure typeName=\"LunInformation\">\n<field name=\"Message\">\n<string>Success</string>" +
                "</field>\n<field name=\"LunInfo\">\n<list type=\"structure\">\n<structure typeName=\"LunInfoList\">\n" +
                "<field name=\"Data\">\n<string>" + cases[3].block +
                "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n");
}

TEST(LunInfo, NamespaceSizeAndFullIdentifier) {
  Sandbox box;
  box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
    {"wwpn": "21:00:00:c8:a1:30:01:00", "targets": [{"wwpn": "50:00:c8:a1:00:00:20:01", "nvme": true,
     "luns": [{"number": 65535, "namespace": true, "nvmeRevision": "1", "blocks": "0xFFFFFFFFFFFFFFFF", "blockSize": 4096},
              {"number": 2, "uniqueId": "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20",
               "uniqueIdLength": 200}]}]}]}]}]})");
  // (2^64 - 1) >> 10, times 4096, wraps in 64 bits before the last shift.
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", kT2 + "_NSID_65535"}).out,
            LunText("Vendor ID: \n"
                    "      Product ID: \n"
                    "      Product Revision: 1\n"
                    "      Namespace ID: 65535\n"
                    "      Namespace Size In MB: 18014398509481980\n"));
  // A length byte above 32 shows the 32 bytes there are.
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", kT2 + "_NSID_2"}).out,
            LunText("Vendor ID: \n"
                    "      Product ID: \n"
                    "      Product Revision: \n"
                    "      Lun Number: 2\n"
                    "      Lun Size In MB: 0\n"
                    "      Lun Worldwide Unique ID: 01:02:03:04:05:06:07:08:09:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:"
                    "16:17:18:19:1a:1b:1c:1d:1e:1f:20\n"));
}

TEST(LunList, GeneratedInventoryOfManyLunsIsListedWholeAndQuickly) {
  Sandbox box;
  box.UseFixtureText(R"({"generate": {"adapters": 4, "ports": 2, "targets": 64, "luns": 64}})");
  std::string expected = kStars;
  expected.reserve(4 * 2 * 64 * 64 * 100);
  char id[128];
  for (unsigned a = 0; a < 4; ++a)
    for (unsigned p = 0; p < 2; ++p)
      for (unsigned t = 0; t < 64; ++t)
        for (unsigned l = 0; l < 64; ++l) {
          snprintf(id, sizeof id, "FC_21:00:00:c8:a1:%02x:%02x:00_Target_50:00:%02x:%02x:%02x:%02x:00:01_LUN_%u", a, p, a,
                   p, t >> 8, t & 0xFF, l);
          expected += "LunList:\nLUNs/Namespaces: ";
          expected += id;
          expected += "\n";
        }
  expected += kStars;

  const auto start = std::chrono::steady_clock::now();
  Result r = box.Run({"-t", "lun", "listcli"});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(r.out == expected) << "output of " << r.out.size() << " bytes differs from the expected "
                                 << expected.size();
  // 32768 LUNs; a walk that restarted per LUN would take minutes.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 20000);

  // The last LUN of the inventory resolves.
  const std::string last = "FC_21:00:00:c8:a1:03:01:00_Target_50:00:03:01:00:3f:00:01_LUN_63";
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", last}).out,
            LunText("Vendor ID: \n      Product ID: \n      Product Revision: \n      Lun Number: 63\n"
                    "      Lun Size In MB: 0\n      Lun Worldwide Unique ID: NA\n"));
}
