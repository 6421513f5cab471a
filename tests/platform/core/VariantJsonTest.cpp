// Values as JSON and back: what `orlo store dump` prints is what the desk's
// automation channel reads, for every kind of value.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <limits>

#include "TestSupport.h"
#include "platform/core/VariantJson.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

QByteArray jsonText(const QJsonValue& v) {
    return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
}

}  // namespace

TEST(VariantJson, EveryKindRoundTripsAndWhatNamesNoValueIsATypeMismatch) {
    const QDateTime at(QDate(2026, 3, 5), QTime(14, 30), Qt::UTC);
    const std::vector<std::pair<Variant, const char*>> cases = {
        {Variant(), R"([{"empty":true}])"},
        {Variant::null(), "[null]"},
        {Variant(u"O'Neill"_s), R"(["O'Neill"])"},
        {Variant(qint64{9007199254740}), "[9007199254740]"},
        {Variant(12.5), "[12.5]"},
        {Variant(std::numeric_limits<double>::infinity()), R"([{"double":"inf"}])"},
        {Variant(-std::numeric_limits<double>::infinity()), R"([{"double":"-inf"}])"},
        {Variant(at), R"([{"date":"2026-03-05T14:30:00.000Z"}])"},
        {Variant(false), "[false]"},
    };
    for (const auto& [value, json] : cases) {
        const QJsonValue written = variantToJson(value);
        EXPECT_EQ(jsonText(written), QByteArray(json));
        const Result<Variant> read = jsonToVariant(written);
        ASSERT_TRUE(read.ok()) << json;
        EXPECT_EQ(*read, value) << json;
    }
    const Result<Variant> nan = jsonToVariant(variantToJson(Variant(std::nan(""))));
    ASSERT_TRUE(nan.ok());
    EXPECT_TRUE(std::isnan(*nan->asDouble()));
    for (const char* json :
         {"[[1]]", R"([{"date":"soon"}])", R"([{"colour":1}])", R"([{"double":"big"}])"}) {
        const QJsonValue v = QJsonDocument::fromJson(json).array().at(0);
        const Result<Variant> read = jsonToVariant(v);
        ASSERT_FALSE(read.ok()) << json;
        EXPECT_EQ(read.error().number, 13) << json;
    }
}
