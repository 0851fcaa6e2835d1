// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop is asked to open.
#include "SdlShell.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(TSdlShell, AddressesKeepTheirSchemeAndPathsBecomeFileAddresses)
{
    const std::string here = std::filesystem::current_path().generic_string();
    const std::pair<std::string, std::string> cases[] = {
        {"https://example.org/cgi/version.pl?x=1", "https://example.org/cgi/version.pl?x=1"},
        {"mailto:someone@example.org", "mailto:someone@example.org"},
        {"play.url", "file://" + here + "/play.url"},
        {"./Data/../play.url", "file://" + here + "/play.url"},
        {"/tmp/a b#1.url", "file:///tmp/a%20b%231.url"},
        {"/tmp/\xD0\xB0.url", "file:///tmp/%D0%B0.url"},
    };
    for (const auto& [target, address] : cases) EXPECT_EQ(TSdlShell::AddressOf(target), address) << target;
}
