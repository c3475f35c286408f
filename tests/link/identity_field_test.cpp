#include "link/link.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string field(int which, const s_link& link)
{
    char out[LINK_FIELD_SIZE];
    std::fill(std::begin(out), std::end(out), 'x');
    link_identity_field(out, which, link);
    return out;
}

} // namespace

TEST(IdentityField, FieldsOfAFourFieldIdentity)
{
    s_link link;
    link.interface = LINK_LAN;
    link.ip_address = "127.0.0.1";
    link.port_name = "/dev/ttyUSB0";
    link.identity = "Quellmarsh,HXM4100A,SN0042,2.10,beta";
    EXPECT_EQ(field(0, link), "127.0.0.1");
    EXPECT_EQ(field(1, link), "HXM4100A");
    EXPECT_EQ(field(2, link), "SN0042");
    EXPECT_EQ(field(3, link), "2.10,beta");
    EXPECT_EQ(field(4, link), "Standard");
    EXPECT_EQ(field(5, link), "");
    EXPECT_EQ(field(6, link), "");
    link_set_type(link, 3);
    link.current_option = 2;
    link.interface = LINK_USB;
    EXPECT_EQ(field(5, link), "0");
    EXPECT_EQ(field(4, link), "High Current");
    EXPECT_EQ(field(0, link), "/dev/ttyUSB0");
    link.current_option = 1;
    EXPECT_EQ(field(4, link), "Low Current");
}

TEST(IdentityField, MissingFieldsAreEmpty)
{
    s_link link;
    link.identity = "NoCommasHere";
    EXPECT_EQ(field(1, link), "");
    EXPECT_EQ(field(3, link), "");
    link.identity = "A,B,C";
    EXPECT_EQ(field(2, link), "C");
    EXPECT_EQ(field(3, link), "");
    link.identity = std::string(300, 'L');
    link.identity[1] = ',';
    EXPECT_EQ(field(1, link).size(), LINK_FIELD_SIZE - 1);
}

TEST(IdentityField, EmptyIdentityOrNoBufferThrows)
{
    s_link link;
    char out[LINK_FIELD_SIZE] = "left over";
    try {
        link_identity_field(out, 1, link);
        FAIL() << "no exception";
    } catch (const NoConStrException& e) {
        EXPECT_STREQ(e.what(), "No Connection String\n");
        EXPECT_EQ(out[0], '\0');
    }
    link.identity = "A,B,C,D";
    EXPECT_THROW(link_identity_field(nullptr, 1, link), std::invalid_argument);
    const std::runtime_error& base = NoConStrException();
    EXPECT_STREQ(base.what(), "No Connection String\n");
}
