#include <gtest/gtest.h>

#include <functional>

#include "shell/Serializer.h"
#include "tests/unit/Capture.h"

namespace {

const std::string kStars = "****************************************************\n";

struct Case {
  const char* name;
  std::function<void(Serializer&)> calls;
  std::string xml;
  std::string text;
};

std::string Render(uint32_t mode, const std::function<void(Serializer&)>& calls) {
  Serializer s;
  CaptureStdout capture;
  s.Begin(mode);
  calls(s);
  s.End();
  return capture.Text();
}

}  // namespace

TEST(Serializer, EveryOperationInBothModes) {
  const std::string xmlHead = "<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n";
  const std::vector<Case> cases = {
      // XML values become character data; names, and every byte in text, stay as they are.
      {"values as character data",
       [](Serializer& s) {
         s.WriteStringField("A&B", "<x> & \"y\"\t\x1b\x7f\r\n");
         s.WriteStringList({"]]>]>", "\xc3\xa9\xc3\xef\xbf\xbf\xf4\x90\x80\x80\xed\xa0\x80"});
         s.WriteStringStructure("T", "N", "\xe2\x82");
         s.WriteFormatted(4, "%s", "a<\x01\xf0\x9f\x98\x80");
       },
       xmlHead + "<field name=\"A&B\">\n<string>&lt;x> &amp; \"y\"\t?\x7f\r\n</string></field>\n"
                 "<string>]]&gt;]></string><string>\xc3\xa9?????????" "</string>"
                 "<structure typeName=\"T\">\n<field name=\"N\">\n<string>??" "</string></field>\n</structure>\n"
                 "<string>a&lt;??" "</string></output>\n",
       kStars + "A&B: <x> & \"y\"\t\x1b\x7f\r\n\n]]>]>,\xc3\xa9\xc3\xef\xbf\xbf\xf4\x90\x80\x80\xed\xa0\x80,\n"
                "T:\nN: \xe2\x82\na<\x01\xf0" + kStars},
      {"structure list",
       [](Serializer& s) {
         s.BeginStructure("AdapterList");
         s.BeginField("General Parameters");
         s.BeginList(kListStructure);
         s.BeginStructure("Elem");
         s.WriteBoolField("On", 0x100);  // only the low byte counts
         s.WriteBoolField("Off", 1);
         s.EndStructure();
         s.EndList();
         s.EndField();
         s.EndStructure();
       },
       xmlHead +
           "<structure typeName=\"AdapterList\">\n<field name=\"General Parameters\">\n<list type=\"structure\">\n"
           "<structure typeName=\"Elem\">\n<field name=\"On\">\n<bool>false</bool></field>\n"
           "<field name=\"Off\">\n<bool>true</bool></field>\n</structure>\n</list>\n</field>\n</structure>\n"
           "</output>\n",
       kStars + "AdapterList:\nGeneral Parameters: Elem:\nOn: false\nOff: true\n" + kStars},
      {"int kinds",
       [](Serializer& s) {
         s.WriteIntField("k0", 0xFFFFFFFFull, kIntSigned32);
         s.WriteIntField("k1", 0xFFFFFFFFull, kIntUnsigned32);
         s.WriteIntField("k2", static_cast<uint64_t>(-5), kIntSigned64);
         s.WriteIntField("k3", 0xFFFFFFFFFFFFFFFFull, kIntUnsigned64);
         s.WriteIntField("k4", 255, kIntHexText);
         s.WriteIntField("k5", 7, 5);
       },
       xmlHead + "<field name=\"k0\">\n<int>-1</int></field>\n<field name=\"k1\">\n<int>4294967295</int></field>\n"
                 "<field name=\"k2\">\n<int>-5</int></field>\n"
                 "<field name=\"k3\">\n<int>18446744073709551615</int></field>\n"
                 "<field name=\"k4\">\n<int>255</int></field>\n<field name=\"k5\">\n</field>\n</output>\n",
       kStars + "k0: -1\nk1: 4294967295\nk2: -5\nk3: 18446744073709551615\nk4: ff\nk5: " + kStars},
      {"simple lists",
       [](Serializer& s) {
         s.BeginList(kListString);
         s.WriteStringList({"a", "b", "c"});
         s.EndList();
         s.BeginList(kListInt);
         s.WriteIntList({1, -2});
         s.EndList();
         s.BeginList(kListBool);
         s.WriteBoolList({true, false});
         s.WriteStringList({});
         s.EndList();
       },
       xmlHead + "<list type=\"string\">\n<string>a</string><string>b</string><string>c</string></list>\n"
                 "<list type=\"int\">\n<int>1</int><int>-2</int></list>\n"
                 "<list type=\"bool\">\n<bool>true</bool><bool>false</bool></list>\n</output>\n",
       kStars + "a,b,c,\n1,-2,\ntrue,false,\n\n" + kStars},
      {"formatted",
       [](Serializer& s) {
         s.WriteFormatted(5, "%s", "abcdefgh");
         s.WriteFormatted(100, "%s", "100% sure %d");
       },
       xmlHead + "<string>abcde</string><string>100% sure %d</string></output>\n",
       kStars + "abcde100% sure %d" + kStars},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Render(kModeXml, c.calls), c.xml) << c.name;
    EXPECT_EQ(Render(kModeText, c.calls), c.text) << c.name;
  }
}

TEST(Serializer, EndResetsTheModeSoASecondEndPrintsNothing) {
  Serializer s;
  CaptureStdout capture;
  EXPECT_EQ(s.Begin(kModeXml), 0u);
  EXPECT_EQ(s.End(), 0u);
  EXPECT_EQ(s.Mode(), 0u);
  EXPECT_EQ(s.End(), 12u);
  EXPECT_EQ(capture.Text(), "<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n</output>\n");
}

TEST(Serializer, InvalidModeOrListTypeIsStatus12AndPrintsNothing) {
  Serializer s;
  CaptureStdout capture;
  EXPECT_EQ(s.Begin(7), 12u);
  EXPECT_EQ(s.Mode(), 7u);  // stored all the same
  EXPECT_EQ(s.WriteStringField("a", "b"), 12u);
  EXPECT_EQ(s.WriteIntField("a", 1, 0), 12u);
  EXPECT_EQ(s.WriteFormatted(10, "%s", "x"), 12u);
  EXPECT_EQ(s.End(), 12u);
  s.Begin(kModeXml);
  EXPECT_EQ(s.BeginList(4), 12u);
  EXPECT_EQ(s.BeginList(kListStructure), 0u);
  EXPECT_EQ(capture.Text(), "<?xml version=\"1.0\"?><output xmlns:esxcli=\"kxfc\">\n<list type=\"structure\">\n");
}
