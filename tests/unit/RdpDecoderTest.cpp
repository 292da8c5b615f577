// The RDP report from hand-built replies: one row per descriptor kind and per
// way a reply can be cut short or lie about its length.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "diag/RdpDecoder.h"

namespace {

using WordList = std::vector<uint32_t>;

std::vector<uint8_t> Bytes(const WordList& words) {
  std::vector<uint8_t> bytes;
  for (uint32_t w : words)
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(w >> shift));
  return bytes;
}

// Text as big-endian words, four characters each.
WordList Text(const std::string& text) {
  WordList words(text.size() / 4);
  for (size_t i = 0; i < text.size(); ++i)
    words[i / 4] |= uint32_t{static_cast<uint8_t>(text[i])} << (24 - 8 * (i % 4));
  return words;
}

// A reply of descriptors: the list length covers them all.
WordList Reply(std::vector<WordList> descriptors) {
  WordList words = {0};
  for (const WordList& d : descriptors) words.insert(words.end(), d.begin(), d.end());
  words[0] = static_cast<uint32_t>(words.size() * 4);
  return words;
}

WordList Descriptor(uint32_t tag, WordList values) {
  WordList words = {tag, static_cast<uint32_t>(values.size() * 4)};
  words.insert(words.end(), values.begin(), values.end());
  return words;
}
WordList Join(WordList a, const WordList& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string kRule = "---------------------------------\n";
std::string Section(const std::string& header, const std::string& body) {
  return kRule + header + "\n" + kRule + body + "\n";
}

const std::string kZeroCounts =
    "Link Failure Count: 0\nLoss Of Sync Count: 0\nLoss Of Signal Count: 0\nPrimary Sequence Error Count: 0\n"
    "Invalid Transmit Word Count: 0\nInvalid CRC Count: 0\n";
const std::string kFcPort = "\tThe sending VN_Port uses an FC-FS-3 PN_Port or PF Port\n";

struct Case {
  const char* name;
  WordList words;
  size_t returned;  // bytes given to the decoder; 0: all of them
  std::string expected;
  std::vector<std::string> notes = {};  // notes that must be among the decoder's
};

std::vector<Case> Cases() {
  return {
      {"link service request", Reply({Descriptor(0x1, {0x02000000, 0x00000008})}), 0,
       "\n" + Section("Diagnostics Parameters Information",
                      "Descriptor Tag: Link Service Request Information\nDescriptor Len: 8 Bytes\n"
                      "Descriptor Value: 0x02000000\nDescriptor Value: 0x00000008\n")},
      {"port speed: capabilities ascending, operating speed from the lowest bit",
       Reply({Descriptor(0x10001, {0x04000004, 0x8C400400, 0x00018000})}), 0, Section("Port Speed Information",
               "Port Speed Capabilities: 16 Gbps\nPort Operating Speed: 0 Gbps\n"
               "Port Speed Capabilities: 256 16 8 1 Gbps\nPort Operating Speed: 16 Gbps\n"
               "Port Speed Capabilities: Gbps\nPort Operating Speed: 1 Gbps\n")},
      {"link error status block", Reply({Descriptor(0x10002, {0xFFFFFFFF, 2, 3, 4, 5, 6, 0x40000000, 0xDEADBEEF})}), 0,
       Section("Link Error Status Block Information",
               "Link Failure Count: -1\nLoss Of Sync Count: 2\nLoss Of Signal Count: 3\n"
               "Primary Sequence Error Count: 4\nInvalid Transmit Word Count: 5\nInvalid CRC Count: 6\n"
               "PN Port Physical Type: 0x40000000\n" + kFcPort + "Link Error Status Block Value: 0xDEADBEEF\n")},
      {"physical types: none and Ethernet; the undefined one has no line",
       Reply({Descriptor(0x10002, {0, 0, 0, 0, 0, 0, 0x00000001, 0}),
              Descriptor(0x10002, {0, 0, 0, 0, 0, 0, 0x80000000}),
              Descriptor(0x10002, {0, 0, 0, 0, 0, 0, 0xC0000000})}),
       0, Section("Link Error Status Block Information", kZeroCounts + "PN Port Physical Type: 0x00000001\n"
                                                                    "\tNo information about Phy Type provided\n"
                                                                    "Link Error Status Block Value: 0x00000000\n") +
           Section("Link Error Status Block Information", kZeroCounts + "PN Port Physical Type: 0x80000000\n"
                                                              "\tThe sending VN_Port uses a lossless Ethernet MAC\n") +
           Section("Link Error Status Block Information", kZeroCounts + "PN Port Physical Type: 0xC0000000\n")},
      {"port names after the later words; an all-zero name is left out",
       Reply({Descriptor(0x10003, {0x20000000, 0xc8a13001, 0x21000000, 0xc8a13001, 7}),
              Descriptor(0x10003, {0, 0, 0x21000000, 0xc8a13002})}),
       0, Section("Port Name Information", "Descriptor Value (4): 0x00000007\nNode WWN: 20:00:00:00:c8:a1:30:01\n"
               "Port WWN: 21:00:00:00:c8:a1:30:01\n") +
           Section("Port Name Information", "Port WWN: 21:00:00:00:c8:a1:30:02\n")},
      {"SFP diagnostics and both kinds of flags",
       Reply({Descriptor(0x10000, {0x1E0080E8, 0x1B581388, 0x0FA00051, 0x12345678}),
              Descriptor(0x10000, {0xF6000000, 0, 0x000080A2})}),
       0, Section("SFP Diagnostics Param Information",
               "Temperature: 30 (C)\nVcc: 3.299999952 V\nTx Bias: 14.000000000 mA\nTx Power: 0.500000000 mW\n"
               "Rx Power: 0.400000006 mW\nSFP Flag: 0x0051\n\tPort Tx Type: Short Wave Laser\n"
               "\tConnector Type: SFP+\n\tOptical Port: On\n\tSFP Diagnostics Parameters not valid: Off\n"
               "\tConnector Type: SFP+\n\tFEC Active: Off\nDescriptor Value: 0x12345678\n") +
           Section("SFP Diagnostics Param Information",
                   "Temperature: -10 (C)\nVcc: 0.000000000 V\nTx Bias: 0.000000000 mA\nTx Power: 0.000000000 mW\n"
                   "Rx Power: 0.000000000 mW\nSFP Flag: 0x80A2\n\tPort Tx Type: Long Wave Laser LC 1310 nm\n"
                   "\tConnector Type: Other\n\tOptical Port: Off\n\tSFP Diagnostics Parameters not valid: On\n"
                   "\tFEC Active Port: On\n")},
      {"FEC status and buffer credits",
       Reply({Descriptor(0x10005, {10, 0xFFFFFFFE, 7}), Descriptor(0x10006, {8, 16, 2000, 0xAB})}), 0,
       Section("FEC Status Information",
               "Correctable Blocks: 10\nUnCorreatable Blocks: -2\nFEC Status Block Value: 7\n") +
           Section("Buffer Credits Status Information",
                   "FC Port Buffer To Buffer Credits: 8\nAttached FC Port Buffer To Buffer Credits: 16\n"
                   "Nominal FC Port RTT: 2000 ns\nBuffer Credits Status Value: 0x000000AB\n")},
      {"optical elements: temperature, voltage, bias and any other type",
       Reply({Descriptor(0x10007, {0x004B00FB, 0x01460000, 0x10000000, 9}),
              Descriptor(0x10007, {0x8CA07530, 0x88B87918, 0x20000000}),
              Descriptor(0x10007, {0x27100064, 0, 0x30000000}),
              Descriptor(0x10007, {0x12345678, 0x000900AB, 0x60000012})}),
       0, Section("Optical Element Data Information",
               "Optical Element Data Descriptor Value: 0x00000009\nTemperature High Alarm: 75.00\n"
               "Temperature Low Alarm: -5.00\nTemperature High Warning: -93.00\nTemperature Low Warning: 0.00\n") +
           Section("Optical Element Data Information",
                   "Voltage High Alarm: 3.599999905\nVoltage Low Alarm: 3.000000000\n"
                   "Voltage High Warning: 3.500000000\nVoltage Low Warning: 3.099999905\n") +
           Section("Optical Element Data Information",
                   "Tx Bias High Alarm: 20.000000000\nTx Bias Low Alarm: 0.200000003\n"
                   "Tx Bias High Warning: 0.000000000\nTx Bias Low Warning: 0.000000000\n") +
           Section("Optical Element Data Information", "Optical Element Function Flag [0x60]: 0x12\n"
                   "Optical Element Function Flag [0x60] High Alarm: 0x1234\n"
                   "Optical Element Function Flag [0x60] Low Alarm: 0x5678\n"
                   "Optical Element Function Flag [0x60] High Warning: 0x09\n"
                   "Optical Element Function Flag [0x60] Low Warning: 0xab\n")},
      {"optical product data",
       Reply({Descriptor(0x10008, Join(Text("KALTEX-OPTICS   KX-SFP32-SW     KXS0000123456789A1  20261205"), {1}))}), 0,
       Section("Optical Product Data Information",
               "Optical Product Data Descriptor Value: 0x00000001\nVendor Name: KALTEX-OPTICS   \n"
               "Part Number: KX-SFP32-SW     \nSerial Number: KXS0000123456789\nRevision: A1  \nDate: 20261205\n")},
      {"unknown words are stepped over one at a time",
       Reply({Descriptor(0x10001, {0x04000004}), {0x000A0000, 0x00000099}, Descriptor(0x10005, {5})}),
       0, Section("Port Speed Information", "Port Speed Capabilities: 16 Gbps\nPort Operating Speed: 0 Gbps\n") +
           Section("FEC Status Information", "Correctable Blocks: 5\n"),
       {"Unknown Descriptor Tag/Value 0x000A0000", "Unknown Descriptor Tag/Value 0x00000099"}},
      {"a descriptor cut short by the returned size shows the words it has",
       Reply({Descriptor(0x10006, {8, 16, 2000, 0xAB})}),
       20, Section("Buffer Credits Status Information",
               "FC Port Buffer To Buffer Credits: 8\nAttached FC Port Buffer To Buffer Credits: 16\n"),
       {"Descriptor 0x00010006 cut short after 2 value words"}},
      {"a descriptor whose length word was not returned is not shown",
       Reply({Descriptor(0x10005, {5}), Descriptor(0x10006, {8})}),
       20, Section("FEC Status Information", "Correctable Blocks: 5\n"),
       {"Descriptor 0x00010006 has no length word"}},
      {"a list length beyond the returned bytes",
       {0x000001F8, 0x00010005, 4, 5, 0x00010005, 4, 6},
       16, Section("FEC Status Information", "Correctable Blocks: 5\n"),
       {"List length 504 exceeds the 16 bytes returned"}},
      {"a descriptor length beyond the reply ends the walk",
       {0x000001F8, 0x00010005, 0xFFFFFFF0, 5, 6},
       0, Section("FEC Status Information", "Correctable Blocks: 5\nUnCorreatable Blocks: 6\n")},
      {"descriptors past the list length are not read",
       {16, 0x00010005, 4, 5, 0x00010005, 4, 6},
       0, Section("FEC Status Information", "Correctable Blocks: 5\n")},
      {"no list length", {}, 0, ""},
  };
}

TEST(RdpDecoder, HandBuiltReplies) {
  for (const Case& c : Cases()) {
    const std::vector<uint8_t> all = Bytes(c.words);
    // An exact-size copy, so that the sanitizer build catches a read past it.
    const std::vector<uint8_t> bytes(all.begin(),
                                     all.begin() + static_cast<long>(c.returned ? c.returned : all.size()));
    std::vector<std::string> notes;
    EXPECT_EQ(rdp::DecodeRdpReply(bytes.data(), bytes.size(), &notes), c.expected) << c.name;
    for (const std::string& note : c.notes)
      EXPECT_NE(std::find(notes.begin(), notes.end(), note), notes.end()) << c.name << ": " << note;
  }
  EXPECT_EQ(rdp::DecodeRdpReply(nullptr, 508), "");
}

}  // namespace
