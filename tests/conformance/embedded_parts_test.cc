// The embedded directory's inner parts: the attribute record, the property cache and value
// conversion by syntax.

#include <gtest/gtest.h>

#include "directory/ds/property_cache.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/hex.h"
#include "directory/ds/embedded/stored_value.h"
#include "directory/ds/embedded/value_convert.h"

namespace tessary::ds::embedded {
namespace {

TEST(AttributeRecordTest, KeepsEveryKindOfValue) {
  StoredAttributes attributes;
  attributes.Set(3, {std::int64_t{-5}, std::int64_t{1} << 40});
  attributes.Set(700, {std::string("text"), std::string()});
  attributes.Set(9, {Bytes{0, 1, 255}, Link{123456}});
  StoredAttributes back;
  ASSERT_TRUE(DecodeAttributes(EncodeAttributes(attributes), &back));
  ASSERT_EQ(3u, back.entries().size());
  EXPECT_EQ(*attributes.Find(3), *back.Find(3));
  EXPECT_EQ(*attributes.Find(700), *back.Find(700));
  EXPECT_EQ(*attributes.Find(9), *back.Find(9));
  StoredAttributes some;
  ASSERT_TRUE(DecodeSomeAttributes(
      EncodeAttributes(attributes), [](int n) { return n == 9; }, &some));
  EXPECT_EQ(nullptr, some.Find(3));
  ASSERT_NE(nullptr, some.Find(9));
}

TEST(AttributeRecordTest, RefusesATruncatedRecord) {
  StoredAttributes attributes;
  attributes.Set(1, {std::string("a longer text value")});
  std::vector<std::uint8_t> record = EncodeAttributes(attributes);
  record.resize(record.size() - 3);
  StoredAttributes back;
  EXPECT_FALSE(DecodeAttributes(record, &back));
  EXPECT_FALSE(DecodeAttributes(std::vector<std::uint8_t>{1, 2, 9, 0}, &back));
}

TEST(PropertyCacheTest, ShowsWritesAtOnceAndKeepsThemPending) {
  PropertyCache cache;
  cache.Load({{"description", ADSTYPE_CASE_IGNORE_STRING, {Value::String("old")}},
              {"otherTelephone", ADSTYPE_CASE_IGNORE_STRING, {Value::String("1")}}});
  ASSERT_EQ(S_OK, cache.Write(ADS_PROPERTY_UPDATE, "Description", {Value::String("new")}));
  ASSERT_EQ(S_OK, cache.Write(ADS_PROPERTY_APPEND, "otherTelephone", {Value::String("2")}));
  Value value;
  ASSERT_EQ(S_OK, cache.Get("description", &value));
  EXPECT_EQ("new", *value.string());
  EXPECT_EQ(E_ADS_CANT_CONVERT_DATATYPE, cache.Get("otherTelephone", &value));
  Values values;
  ASSERT_EQ(S_OK, cache.GetEx("otherTelephone", &values));
  EXPECT_EQ(2u, values.size());
  EXPECT_EQ(2u, cache.pending().size());
  // A reload keeps the pending writes laid over what was read.
  cache.Load({{"description", ADSTYPE_CASE_IGNORE_STRING, {Value::String("reread")}}});
  ASSERT_EQ(S_OK, cache.Get("description", &value));
  EXPECT_EQ("new", *value.string());
  ASSERT_EQ(S_OK, cache.Write(ADS_PROPERTY_CLEAR, "description", {}));
  EXPECT_EQ(E_ADS_PROPERTY_NOT_FOUND, cache.Get("description", &value));
  EXPECT_EQ(E_INVALIDARG, cache.Write(static_cast<PropertyOperation>(9), "x", {}));
}

TEST(ValueTextTest, GeneralizedTimeBothWays) {
  UtcTime time;
  ASSERT_TRUE(ParseGeneralizedTime("20261207210000.0Z", &time));
  EXPECT_EQ("20261207210000.0Z", GeneralizedTime(time));
  ASSERT_TRUE(ParseGeneralizedTime("261207210000Z", &time));
  EXPECT_EQ("20261207210000.0Z", GeneralizedTime(time));
  EXPECT_FALSE(ParseGeneralizedTime("20261307210000.0Z", &time));
  EXPECT_FALSE(ParseGeneralizedTime("2026120721", &time));
  EXPECT_FALSE(ParseGeneralizedTime("20261207210000.0", &time));
  EXPECT_EQ(116444736000000000LL, FileTimeOf(UtcTime(std::chrono::seconds(0))));
}

TEST(ValueTextTest, SidsBothWays) {
  std::optional<Bytes> sid = SidFromText("S-1-5-21-1004336348-1177238915-682003330-512");
  ASSERT_TRUE(sid);
  EXPECT_EQ(28u, sid->size());
  EXPECT_EQ("S-1-5-21-1004336348-1177238915-682003330-512", SidText(*sid).value_or(""));
  EXPECT_FALSE(SidFromText("S-1-5-"));
  EXPECT_FALSE(SidFromText("X-1-5-21"));
  EXPECT_FALSE(SidText(Bytes{1, 2, 0}));
  Bytes domain = NewDomainSid();
  EXPECT_TRUE(SidText(AccountSid(domain, 1105)).value_or("").ends_with("-1105"));
  EXPECT_EQ("00ff10", HexOf({0, 255, 16}));
  EXPECT_EQ((Bytes{0, 255, 16}), BytesOfHex("00FF10"));
  EXPECT_TRUE(BytesOfHex("0g").empty());
}

}  // namespace
}  // namespace tessary::ds::embedded
