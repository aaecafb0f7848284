// The IPP message encoding: requests byte for byte, responses with every kind of value, and refusal of
// malformed responses with the reason.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/printing/IppMessage.h"

namespace tess::ipp {
namespace {

// Bytes written as text: "\x.." escapes for single bytes, plain characters for names and values.
std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::string Why(std::string_view bytes) {
  std::string why;
  EXPECT_FALSE(Decode(Bytes(bytes), &why)) << "decoded although malformed";
  return why;
}

TEST(IppMessage, RequestsAreWrittenByteForByte) {
  Message request;
  request.code = 0x4002;  // CUPS-Get-Printers
  request.requestId = 7;
  request.groups = {{GroupTag::Operation,
                     {
                         {"attributes-charset", {Text(ValueTag::Charset, "utf-8")}},
                         {"attributes-natural-language", {Text(ValueTag::NaturalLanguage, "en")}},
                         {"requested-attributes",
                          {Text(ValueTag::Keyword, "printer-name"), Text(ValueTag::Keyword, "printer-type")}},
                     }}};
  const std::string expected =
      std::string("\x02\x00\x40\x02\x00\x00\x00\x07\x01", 9) + std::string("\x47\x00\x12", 3) +
      "attributes-charset" + std::string("\x00\x05", 2) + "utf-8" + std::string("\x48\x00\x1b", 3) +
      "attributes-natural-language" + std::string("\x00\x02", 2) + "en" + std::string("\x44\x00\x14", 3) +
      "requested-attributes" + std::string("\x00\x0c", 2) + "printer-name" +
      std::string("\x44\x00\x00\x00\x0c", 5) + "printer-type" + "\x03";
  EXPECT_EQ(Encode(request), Bytes(expected));
}

TEST(IppMessage, ResponsesKeepEveryKindOfValue) {
  // A collection written by hand: media-col-default { media-size { x-dimension 21000, y-dimension 29700 },
  // media-source "main" }.
  using std::string;
  const string text = string("\x02\x00\x00\x00\x00\x00\x00\x02\x04", 9) + string("\x34\x00\x11", 3) +
                      "media-col-default" + string("\x00\x00", 2) + string("\x4a\x00\x00\x00\x0a", 5) +
                      "media-size" + string("\x34\x00\x00\x00\x00", 5) + string("\x4a\x00\x00\x00\x0b", 5) +
                      "x-dimension" + string("\x21\x00\x00\x00\x04\x00\x00\x52\x08", 9) +
                      string("\x4a\x00\x00\x00\x0b", 5) + "y-dimension" +
                      string("\x21\x00\x00\x00\x04\x00\x00\x74\x04", 9) + string("\x37\x00\x00\x00\x00", 5) +
                      string("\x4a\x00\x00\x00\x0c", 5) + "media-source" + string("\x44\x00\x00\x00\x04", 5) +
                      "main" + string("\x37\x00\x00\x00\x00", 5) + "\x03" + "%PDF trailing document data";
  std::string why;
  const std::optional<Message> read = Decode(Bytes(text), &why);
  ASSERT_TRUE(read) << why;
  EXPECT_EQ(read->code, 0);
  EXPECT_EQ(read->requestId, 2u);
  const Attribute* col = read->Find("media-col-default", GroupTag::Printer);
  ASSERT_NE(col, nullptr);
  ASSERT_EQ(col->values.size(), 1u);
  const std::vector<Attribute>& members = col->values[0].members;
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].name, "media-size");
  ASSERT_EQ(members[0].values.size(), 1u);
  const std::vector<Attribute>& size = members[0].values[0].members;
  ASSERT_EQ(size.size(), 2u);
  EXPECT_EQ(size[0].values.at(0).integer, 21000);
  EXPECT_EQ(size[1].values.at(0).integer, 29700);
  EXPECT_EQ(members[1].values.at(0).text, "main");

  // Every other kind, through the writer and back.
  Message m;
  m.code = 0x0001;
  m.requestId = 0xFFFFFFFFu;
  Value resolution;
  resolution.tag = ValueTag::Resolution;
  resolution.integer = 600;
  resolution.upper = 300;
  resolution.units = 3;
  Value range;
  range.tag = ValueTag::RangeOfInteger;
  range.integer = -5;
  range.upper = 2147483647;
  Value withLanguage = Text(ValueTag::TextWithLanguage, "トレイ");
  withLanguage.language = "ja";
  m.groups = {
      {GroupTag::Operation, {{"status-message", {Text(ValueTag::TextWithoutLanguage, "successful-ok")}}}},
      {GroupTag::Printer,
       {
           {"printer-type", {Integer(ValueTag::Enum, 0x801C), Integer(ValueTag::Integer, -1)}},
           {"printer-is-accepting-jobs", {Integer(ValueTag::Boolean, 1)}},
           {"printer-resolution-default", {resolution}},
           {"copies-supported", {range}},
           {"printer-info", {withLanguage}},
           {"printer-current-time", {Text(ValueTag::DateTime, std::string(11, '\x01'))}},
           {"printer-alert", {Text(ValueTag::OctetString, std::string("\x00\xff", 2))}},
           {"printer-message-from-operator", {Integer(ValueTag::NoValue, 0)}},
           {"media-col-default", col->values},
       }},
      {GroupTag::Job, {{"job-id", {Integer(ValueTag::Integer, 12)}}}},
      // A second printer: a group of the same tag stays a group of its own, and so does an empty one.
      {GroupTag::Printer, {{"printer-name", {Text(ValueTag::NameWithoutLanguage, "TessarinePDF")}}}},
      {GroupTag::Printer, {}},
  };
  const std::vector<std::uint8_t> bytes = Encode(m);
  const std::optional<Message> back = Decode(bytes, &why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(*back, m);
  EXPECT_EQ(Encode(*back), bytes);
  EXPECT_EQ(back->Find("printer-name", GroupTag::Printer)->values.at(0).text, "TessarinePDF");
}

TEST(IppMessage, MalformedResponsesAreRefusedWithTheReason) {
  using std::string;
  const string head("\x02\x00\x00\x00\x00\x00\x00\x01", 8);
  const string integer = string("\x21\x00\x01", 3) + "n" + string("\x00\x04\x00\x00\x00\x05", 6);
  // Every cut of a good message is refused, never read past its end.
  const string good = head + "\x04" + integer + string("\x21\x00\x00\x00\x04\x00\x00\x00\x06", 9) + "\x03";
  ASSERT_TRUE(Decode(Bytes(good)));
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(Decode(Bytes(good.substr(0, cut)))) << "cut at " << cut;
  }
  EXPECT_NE(Why(head + "\x04" + string("\x21\x00\x01", 3) + "n" + string("\x00\x03\x00\x00\x05", 5) + "\x03")
                .find("wrong length"),
            string::npos);
  EXPECT_NE(Why(head + integer + "\x03").find("before any attribute group"), string::npos);
  EXPECT_NE(
      Why(head + "\x04" + string("\x21\x00\x00\x00\x04\x00\x00\x00\x06", 9) + "\x03").find("additional"),
      string::npos);
  // A group tag ends the attribute before it: a value without a name cannot continue it.
  EXPECT_NE(Why(head + "\x04" + integer + "\x04" + string("\x21\x00\x00\x00\x04\x00\x00\x00\x06", 9) + "\x03")
                .find("additional"),
            string::npos);
  EXPECT_NE(Why(head + "\x04" + string("\x22\x00\x01", 3) + "b" + string("\x00\x01\x02", 3) + "\x03")
                .find("boolean"),
            string::npos);
  EXPECT_NE(Why(head + "\x04" + string("\x35\x00\x01", 3) + "t" + string("\x00\x05\x00\x02", 4) + "ja" + "x" +
                "\x03")
                .find("do not fill"),
            string::npos);
  EXPECT_NE(
      Why(head + "\x04" + string("\x7f\x00\x01", 3) + "x" + string("\x00\x00", 2) + "\x03").find("extension"),
      string::npos);
  EXPECT_NE(Why(head + "\x04" + string("\x44\x80\x00", 3) + "\x03").find("longer than 32767"), string::npos);
  EXPECT_NE(
      Why(head + "\x04" + string("\x4a\x00\x00\x00\x01", 5) + "m" + "\x03").find("outside a collection"),
      string::npos);
  EXPECT_NE(
      Why(head + "\x04" + string("\x34\x00\x01", 3) + "c" + string("\x00\x00", 2) + "\x03").find("group tag"),
      string::npos);
  EXPECT_NE(Why(head + "\x04" + string("\x34\x00\x01", 3) + "c" + string("\x00\x00", 2))
                .find("within a collection"),
            string::npos);
  string nested = head + "\x04" + string("\x34\x00\x01", 3) + "c" + string("\x00\x00", 2);
  for (int depth = 0; depth < kMaxCollectionDepth; ++depth) {
    nested += string("\x4a\x00\x00\x00\x01", 5) + "m" + string("\x34\x00\x00\x00\x00", 5);
  }
  EXPECT_NE(Why(nested).find("nested deeper"), string::npos);
}

TEST(IppMessage, RequestsTheEncodingCannotHoldAreRefused) {
  Message m;
  m.groups = {{GroupTag::Operation, {{std::string(32768, 'n'), {Integer(ValueTag::Integer, 1)}}}}};
  EXPECT_THROW(Encode(m), std::length_error);
  m.groups = {{GroupTag::Operation, {{"n", {Text(ValueTag::Keyword, std::string(32768, 'v'))}}}}};
  EXPECT_THROW(Encode(m), std::length_error);
  m.groups = {{GroupTag::Operation, {{"n", {}}}}};
  EXPECT_THROW(Encode(m), std::invalid_argument);
}

}  // namespace
}  // namespace tess::ipp
