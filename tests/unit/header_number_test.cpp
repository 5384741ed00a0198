#include "common/header_number.h"

#include <gtest/gtest.h>

#include "common/failure.h"

namespace velmoran {
namespace {

TEST(HeaderNumber, AcceptedForms) {
    const struct { const char* text; int32_t value; } cases[] = {
        {"0", 0}, {"736387", 736387}, {"  42", 42}, {"+7", 7}, {"-7", -7},
        {"$ff", 255}, {"xFF", 255}, {"X10", 16}, {"0x1f", 31}, {"0X1F", 31}, {"-$10", -16},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"0x7FFFFFFF", 2147483647},
        {"007", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseHeaderNumber(c.text), c.value) << c.text;
}

TEST(HeaderNumber, RejectedFormsNameTheText) {
    for (const char* text : {"", " ", "+", "-", "$", "0x", "12 ", "1\t", "\t1", "1.5", "1e3", "2147483648",
                             "-2147483649", "0x80000000", "--1", "+-1", "12a", "ten", "$g"}) {
        try {
            ParseHeaderNumber(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const Failure& failure) {
            EXPECT_EQ(std::string(failure.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace velmoran
