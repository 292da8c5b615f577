// The "lun" mode and its "info" sub-mode, run against the stand-in.
#include <algorithm>
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
const std::vector<std::string> kInfo = {"-t", "lun", "-v", "info"};

// A LUN block (six values) or a namespace block (five values).
Doc Lun(const std::string& values) {
  const bool ns = std::count(values.begin(), values.end(), '|') == 4;
  return Report("LunInformation", "LunInfo", "LunInfoList",
                Block(ns ? std::vector<std::string>{"Vendor ID", "Product ID", "Product Revision", "Namespace ID",
                                                    "Namespace Size In MB"}
                         : std::vector<std::string>{"Vendor ID", "Product ID", "Product Revision", "Lun Number",
                                                    "Lun Size In MB", "Lun Worldwide Unique ID"},
                      values));
}
Doc LunError(const std::string& message) { return ListError("LunInformation", "LunInfo", message); }

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
  RunCases(box, {"-t", "lun"},
           {{{"listcli"}, ListText("LunList", "LUNs/Namespaces", ids), 0},
            {{"list"}, ListXml("LunList", "LUNs/Namespaces", ids)},
            {{"listcli", "help"}, "Usage: list\r\n", 5},
            {{"help"},
             "\r\nFollowing is the list of available commands in the LUN command mode.\r\n"
             "For detailed information of each command, please type 'command ?'\r\n"
             "All commands are case insensitive.\r\n\r\n"
             "list        : Discover list of Kaltex FC LUNs\r\n"
             "help        : list of available commands\r\n"
             "listcli     : Discover list of Kaltex FC LUNs\r\n"
             "info        : use this command to get Kaltex FC LUN info\r\n"},
            {{"-v", "info", "getcli", "?"}, kUsage}});
  box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
    {"wwpn": "21:00:00:00:00:00:00:01", "targets": [{"wwpn": "50:00:00:00:00:00:00:01"}]}]}]}]})");
  RunCases(box, {"-t", "lun"}, {{{"listcli"}, ListText("", "", {}), 0}});
  box.UseFixtureText(R"({"noAdapterList": true})");
  RunCases(box, {"-t", "lun"},
           {{{"list"}, "", 14}, {{"-v", "info", "getcli", kT1 + "_LUN_0"}, LunError("Failed, Host not found").Text(), 14}});
}

TEST(LunIdentifier, KindWordAndExactText) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  box.SetEnv("KXFC_DEBUG_LEVEL", "5");
  const std::string invalid = LunError("Failed, Invalid parameter").Text() + kUsage;
  std::vector<Case> cases;
  for (const std::string& id : std::vector<std::string>{kT2 + "_LUN_1",  // a namespace named as a LUN
                                kT1 + "_NSID_1",  // a LUN named as a namespace
                                kT1 + "_lun_1",   // the word passes, the text does not
                                kT1 + "_DISK_1", kT1 + "_LUN_3", kT1 + "_LUN_01",
                                "FC_21:00:00:C8:A1:30:01:00_Target_50:00:c8:a1:00:00:10:01_LUN_1", kT1,
                                "FC_21:00:00:c8:a1:30:01:00_Tgt_50:00:c8:a1:00:00:10:01_LUN_1"})
    cases.push_back({{"getcli", id}, invalid, 6});
  cases.push_back({{"getcli", "-help"}, LunError("Failed, Unknown").Text() + kUsage, 5});
  cases.push_back({{"get", kT2 + "_LUN_1"}, LunError("Failed, Invalid parameter").Xml(), 6});
  RunCases(box, kInfo, cases);
  const std::string log = ReadFile(box.HostPath("/var/tmp/kxfcli.log"));
  EXPECT_NE(log.find("Invalid LUN/NSID identifier " + kT1 + "_DISK_1"), std::string::npos);
  EXPECT_NE(log.find("Invalid Tgt identifier FC_21:00:00:c8:a1:30:01:00_Tgt_"), std::string::npos);
}

TEST(LunInfo, SizesUniqueIdsAndTheEntrysOwnKind) {
  Sandbox box;
  box.UseFixture("target-basic.json");
  RunCases(box, kInfo,
           {// Full-width character fields; 2048 blocks of 512 bytes are 1 MB.
            {{"getcli", kT4 + "_LUN_0"},
             Lun("KALTEXVD|VIRTUAL-DISK-016|1.0a|0|1|60:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:16:17:18").Text(), 0},
            // 2^33 blocks of 512 bytes: 4 TiB, beyond 32 bits; an all-zero ID is "NA" whatever its length.
            {{"getcli", kT4 + "_LUN_5"}, Lun("KALTEX|BIGDISK|2|5|4194304|NA").Text()},
            // Less than one MB rounds down; a non-zero ID of length 0 is empty.
            {{"getcli", kT4 + "_LUN_7"}, Lun("|||7|0|").Text()},
            // The entry's namespace flag chooses the namespace lines under an FCP target.
            {{"getcli", kT4 + "_LUN_9"}, Lun("KALTEX|NSDISK|NVREV001|9|16").Text()},
            {{"get", kT4 + "_LUN_9"}, Lun("KALTEX|NSDISK|NVREV001|9|16").Xml()},
            // A namespace of an NVMe target whose entry lacks the flag is shown as a LUN.
            {{"getcli", kT2 + "_NSID_3"}, Lun("|||3|0|NA").Text()},
            // LUNs seen through a virtual port resolve too.
            {{"getcli", kT3 + "_LUN_0"}, Lun("|||0|0|NA").Text()}});
  box.UseFixtureText(R"({"adapters": [{"model": "M", "serial": "S", "ports": [{"entries": [
    {"wwpn": "21:00:00:c8:a1:30:01:00", "targets": [{"wwpn": "50:00:c8:a1:00:00:20:01", "nvme": true,
     "luns": [{"number": 65535, "namespace": true, "nvmeRevision": "1", "blocks": "0xFFFFFFFFFFFFFFFF", "blockSize": 4096},
              {"number": 2, "uniqueId": "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20",
               "uniqueIdLength": 200}]}]}]}]}]})");
  RunCases(box, kInfo,
           {// (2^64 - 1) >> 10, times 4096, wraps in 64 bits before the last shift.
            {{"getcli", kT2 + "_NSID_65535"}, Lun("||1|65535|18014398509481980").Text()},
            // A length byte above 32 shows the 32 bytes there are.
            {{"getcli", kT2 + "_NSID_2"},
             Lun("|||2|0|01:02:03:04:05:06:07:08:09:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:16:17:18:19:1a:1b:1c:1d:1e:1f:20")
                 .Text()}});
}

TEST(LunList, GeneratedInventoryOfManyLunsIsListedWhole) {
  Sandbox box;
  box.UseFixtureText(R"({"generate": {"adapters": 4, "ports": 2, "targets": 64, "luns": 64}})");
  std::vector<std::string> ids;
  char id[128];
  for (unsigned a = 0; a < 4; ++a)
    for (unsigned p = 0; p < 2; ++p)
      for (unsigned t = 0; t < 64; ++t)
        for (unsigned l = 0; l < 64; ++l) {
          snprintf(id, sizeof id, "FC_21:00:00:c8:a1:%02x:%02x:00_Target_50:00:%02x:%02x:%02x:%02x:00:01_LUN_%u", a, p, a,
                   p, t >> 8, t & 0xFF, l);
          ids.push_back(id);
        }
  const std::string expected = ListText("LunList", "LUNs/Namespaces", ids);
  const Result r = box.Run({"-t", "lun", "listcli"});
  EXPECT_TRUE(r.out == expected) << "output of " << r.out.size() << " bytes differs from the expected " << expected.size();
  // The last LUN of the inventory resolves.
  EXPECT_EQ(box.Run({"-t", "lun", "-v", "info", "getcli", "FC_21:00:00:c8:a1:03:01:00_Target_50:00:03:01:00:3f:00:01_LUN_63"}).out,
            Lun("|||63|0|NA").Text());
}
