// The boundary between host and plugin text, checked against the host allocator's ledger.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/engine_strings.h"
#include "host_fixture.h"
#include "hostsim/allocator.h"
#include "hostsim/host_strings.h"
#include "hostsim/name_registry.h"

namespace {

using barterbox::FormatFString;
using barterbox::OwnedFString;
using barterbox::ToNarrowString;
using barterbox::ToWideString;
using hostsim::BufferOwner;

class EngineStrings : public testing_support::HostFixture {
protected:
    // A host string the test owns, built like the texts the host hands to handlers.
    FString HostText(std::u16string_view text) {
        FString made = hostsim::MakeFString(text, BufferOwner::Host, "test");
        held_.push_back(made);
        return made;
    }
    void TearDown() override {
        for (FString& text : held_) {
            hostsim::Release(text.Data, BufferOwner::Host);
        }
        HostFixture::TearDown();
    }
    static std::u16string ReadAndRelease(FString text) {
        OwnedFString owned(text);
        return hostsim::ReadFString(owned.get());
    }

private:
    std::vector<FString> held_;
};

TEST_F(EngineStrings, ToNarrowString_ReplacesEveryUnitAbove127WithOneQuestionMark) {
    EXPECT_EQ(ToNarrowString(HostText(u"Grüße")), "Gr??e");
    EXPECT_EQ(ToNarrowString(HostText(u"a\U0001F600b")), "a??b"); // a surrogate pair
    EXPECT_EQ(ToNarrowString(HostText(u"\u0141")), "?"); // low byte 0x41 must not survive as 'A'
    EXPECT_EQ(ToNarrowString(HostText(u"Wood 3")), "Wood 3");
}

TEST_F(EngineStrings, ToNarrowString_StopsAtTheFirstNulAndTreatsCountZeroAsEmpty) {
    FString inner = HostText(std::u16string_view(u"ab\0cd", 5));
    EXPECT_EQ(ToNarrowString(inner), "ab");

    char16_t garbage[] = u"not read";
    FString countZero;
    countZero.Data = garbage;
    countZero.Num = 0;
    EXPECT_EQ(ToNarrowString(countZero), "");
    EXPECT_EQ(ToNarrowString(FString{}), "");
}

TEST_F(EngineStrings, ToNarrowString_UsesTheHostAllocatorOnlyPast127Units) {
    const FString short127 = HostText(std::u16string(127, u'x'));
    const FString long128 = HostText(std::u16string(128, u'y'));
    const auto before = hostsim::Counts(BufferOwner::Plugin);

    EXPECT_EQ(ToNarrowString(short127), std::string(127, 'x'));
    EXPECT_EQ(hostsim::Counts(BufferOwner::Plugin).Allocations, before.Allocations);

    hostsim::ResetResolveCounts();
    EXPECT_EQ(ToNarrowString(long128), std::string(128, 'y'));
    const auto after = hostsim::Counts(BufferOwner::Plugin);
    EXPECT_EQ(after.Allocations, before.Allocations + 1);
    EXPECT_EQ(after.Releases, before.Releases + 1);
    EXPECT_EQ(after.BytesAllocated - before.BytesAllocated, 129u);
    EXPECT_EQ(hostsim::ResolveCount("FMemory.Malloc(unsigned__int64,unsignedint)"), 1u);
    EXPECT_EQ(hostsim::ResolveCount("FMemory.Free(void*)"), 1u);
}

TEST_F(EngineStrings, ToNarrowString_FailsAndLogsWhenTheHostHasNoMemory) {
    CreateLogger();
    const FString long200 = HostText(std::u16string(200, u'z'));
    hostsim::FailNextAllocations(1);
    EXPECT_THROW(ToNarrowString(long200), barterbox::HostTextError);
    EXPECT_THAT(LogTexts(), testing::ElementsAre(
                                "[Barterbox][error] Barterbox: Host allocator gave no memory for "
                                "a text of 200 code units"));
}

TEST_F(EngineStrings, ToWideString_DecodesUtf8AndReplacesEachInvalidByte) {
    EXPECT_EQ(ToWideString(""), u"");
    EXPECT_EQ(ToWideString("Wood"), u"Wood");
    EXPECT_EQ(ToWideString("Pierre taillée"), u"Pierre taillée");
    EXPECT_EQ(ToWideString("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(ToWideString("a\xFF"
                           "b"),
              u"a\uFFFDb");
    EXPECT_EQ(ToWideString("\xC3"), u"\uFFFD");             // truncated sequence
    EXPECT_EQ(ToWideString("\xE2\x82"), u"\uFFFD\uFFFD");   // each byte on its own
    EXPECT_EQ(ToWideString("\x80\x80x"), u"\uFFFD\uFFFDx"); // stray continuation bytes
    std::string allAscii;
    for (int c = 1; c < 128; ++c) {
        allAscii.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(ToWideString(allAscii).size(), allAscii.size());
}

TEST_F(EngineStrings, FormatFString_FillsPlaceholdersInOrderAndNeverReadsArgumentsAsTemplates) {
    EXPECT_EQ(ReadAndRelease(FormatFString(u"Need {} {} (have {})", int32_t{10},
                                           std::u16string(u"Wood"), int32_t{7})),
              u"Need 10 Wood (have 7)");
    EXPECT_EQ(ReadAndRelease(FormatFString(u"x{}", int32_t{-3})), u"x-3");
    EXPECT_EQ(ReadAndRelease(FormatFString(u"Barterbox: {} exchanges", uint64_t{0})),
              u"Barterbox: 0 exchanges");
    EXPECT_EQ(ReadAndRelease(FormatFString(u"Removed exchange '{}'", std::u16string(u"a{}b"))),
              u"Removed exchange 'a{}b'");
    EXPECT_EQ(ReadAndRelease(FormatFString(u"Available exchanges:")), u"Available exchanges:");
}

TEST_F(EngineStrings, ReleaseFString_OfAnEmptyStringMakesNoHostCall) {
    hostsim::ResetResolveCounts();
    FString empty;
    barterbox::ReleaseFString(empty);
    EXPECT_EQ(hostsim::ResolveCount("FMemory.Free(void*)"), 0u);
}

TEST_F(EngineStrings, OwnedFString_ReleasesExactlyOnceWhenAnExceptionLeavesTheScope) {
    const auto before = hostsim::Counts(BufferOwner::Plugin);
    try {
        OwnedFString owned{FString("held across a throw")};
        throw std::runtime_error("boom");
    } catch (const std::runtime_error&) {
    }
    const auto after = hostsim::Counts(BufferOwner::Plugin);
    EXPECT_EQ(after.Allocations - before.Allocations, 1u);
    EXPECT_EQ(after.Releases - before.Releases, 1u);
}

} // namespace
