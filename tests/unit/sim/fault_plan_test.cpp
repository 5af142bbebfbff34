#include "sim/fault_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/commands.h"
#include "sim/fault_rule_text.h"
#include "sim/simulated_encoder.h"

namespace orvo::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The node-1 reply to 0x10: 7C 01 10 00 00 00 01 12 04.
const link::Frame kReply = link::encodeFrame(1, link::cmd::kReadNode, 1);

struct KindCase {
    const char* name;
    Fault fault;
    Bytes expected;
    std::uint32_t delayMs;
};

TEST(FaultPlan, EachKindShapesTheReply) {
    const KindCase cases[] = {
        {"no reply", Fault::noReply(), {}, 0},
        {"error bit with a matching checksum",
         Fault::errorBit(),
         {0x7C, 0x01, 0x50, 0, 0, 0, 0x01, 0x52, 0x04},
         0},
        {"wrong checksum", Fault::badChecksum(), {0x7C, 0x01, 0x10, 0, 0, 0, 0x01, 0x13, 0x04}, 0},
        {"wrong start byte",
         Fault::badStartByte(),
         {0x83, 0x01, 0x10, 0, 0, 0, 0x01, 0x12, 0x04},
         0},
        {"wrong end byte", Fault::badEndByte(), {0x7C, 0x01, 0x10, 0, 0, 0, 0x01, 0x12, 0xFB}, 0},
        {"short frame of 5", Fault::shortFrame(5), {0x7C, 0x01, 0x10, 0, 0}, 0},
        {"stray byte first",
         Fault::strayByte(0xAA),
         {0xAA, 0x7C, 0x01, 0x10, 0, 0, 0, 0x01, 0x12, 0x04},
         0},
        {"late by 300 ms",
         Fault::lateReply(300),
         {0x7C, 0x01, 0x10, 0, 0, 0, 0x01, 0x12, 0x04},
         300},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        FaultPlan plan;
        plan.add({c.fault, FaultScope::everyFrame(), std::nullopt});
        const PlannedReply planned = plan.plan(link::cmd::kReadNode, kReply);
        EXPECT_EQ(planned.bytes, c.expected);
        EXPECT_EQ(planned.delayMs, c.delayMs);
    }
}

TEST(FaultPlan, FaultsCombineAndNoReplyWins) {
    FaultPlan plan;
    plan.add({Fault::lateReply(150), FaultScope::everyFrame(), std::nullopt});
    plan.add({Fault::badChecksum(), FaultScope::everyFrame(), std::nullopt});
    PlannedReply planned = plan.plan(link::cmd::kReadNode, kReply);
    EXPECT_EQ(planned.delayMs, 150u);
    ASSERT_EQ(planned.bytes.size(), link::kFrameSize);
    EXPECT_NE(planned.bytes[link::offset::kChecksum], kReply[link::offset::kChecksum]);

    plan.add({Fault::noReply(), FaultScope::everyFrame(), std::nullopt});
    EXPECT_TRUE(plan.plan(link::cmd::kReadNode, kReply).bytes.empty());
}

TEST(FaultPlan, ARepliedDataByteCanBeAnotherWithItsChecksumMended) {
    const link::Frame reply = link::encodeFrame(1, link::cmd::kReadSerialNumber, 0x01020304);
    struct Case {
        const char* name;
        Fault fault;
        bool errorBit;
    };
    const Case cases[] = {
        {"refused with a reason", Fault::errorReply(0x30), true},
        {"another value held", Fault::wrongData(0x99), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultPlan plan;
        plan.add({c.fault, FaultScope::everyFrame(), std::nullopt});
        const std::vector<std::uint8_t> bytes =
            plan.plan(link::cmd::kReadSerialNumber, reply).bytes;
        ASSERT_EQ(bytes.size(), link::kFrameSize);
        link::Frame sent{};
        std::copy(bytes.begin(), bytes.end(), sent.begin());
        EXPECT_EQ(sent[link::offset::kDataLow], *c.fault.lowData);
        EXPECT_EQ(sent[link::offset::kData], 0x01) << "the other data bytes stay";
        EXPECT_EQ((sent[link::offset::kCommand] & link::kErrorBit) != 0, c.errorBit);
        EXPECT_EQ(sent[link::offset::kChecksum], link::frameChecksum(sent));
    }
}

// Which of the frames 1..n (all with command `sent[i]`) a single rule hits.
std::vector<bool> hits(const FaultRule& rule, const std::vector<std::uint8_t>& sent,
                       std::uint32_t seed = 1) {
    FaultPlan plan(seed);
    plan.add(rule);
    std::vector<bool> result;
    for (std::uint8_t command : sent) {
        const link::Frame reply = link::encodeFrame(1, command, 0);
        result.push_back(plan.plan(command, reply).bytes.empty());
    }
    return result;
}

TEST(FaultPlan, ScopeDecidesWhichFramesAreHit) {
    using link::cmd::kReadNode;
    using link::cmd::kReadPosition;
    const std::vector<std::uint8_t> six(6, kReadPosition);
    const Fault drop = Fault::noReply();

    EXPECT_EQ(hits({drop, FaultScope::everyFrame(), kReadPosition},
                   {kReadPosition, kReadNode, kReadPosition}),
              (std::vector<bool>{true, false, true}))
        << "one command code";
    EXPECT_EQ(hits({drop, FaultScope::nextFrames(2), std::nullopt}, six),
              (std::vector<bool>{true, true, false, false, false, false}))
        << "next 2 frames";
    EXPECT_EQ(hits({drop, FaultScope::everyKth(3), std::nullopt}, six),
              (std::vector<bool>{false, false, true, false, false, true}))
        << "every third frame";
    EXPECT_EQ(hits({drop, FaultScope::everyKth(2), kReadPosition},
                   {kReadPosition, kReadNode, kReadPosition, kReadNode}),
              (std::vector<bool>{false, false, true, false}))
        << "every second 0x21, other codes not counted";
    EXPECT_EQ(hits({drop, FaultScope::nextFrames(1), kReadPosition},
                   {kReadNode, kReadPosition, kReadPosition}),
              (std::vector<bool>{false, true, false}))
        << "the next 0x21 only";
}

TEST(FaultPlan, ProbabilityIsSeededAndRoughlyKept) {
    const std::vector<std::uint8_t> many(400, link::cmd::kReadPosition);
    const FaultRule rule{Fault::noReply(), FaultScope::withProbability(0.25), std::nullopt};
    const std::vector<bool> first = hits(rule, many, 7);
    EXPECT_EQ(hits(rule, many, 7), first) << "same seed, same frames";
    const auto count = std::count(first.begin(), first.end(), true);
    EXPECT_GT(count, 50);
    EXPECT_LT(count, 150);

    EXPECT_EQ(hits({Fault::noReply(), FaultScope::withProbability(0.0), std::nullopt}, many),
              std::vector<bool>(many.size(), false));
    EXPECT_EQ(hits({Fault::noReply(), FaultScope::withProbability(1.0), std::nullopt}, many),
              std::vector<bool>(many.size(), true));
}

TEST(FaultPlan, SilenceIsNotCountedAsAFrame) {
    FaultPlan plan;
    plan.add({Fault::badEndByte(), FaultScope::nextFrames(1), std::nullopt});
    EXPECT_TRUE(plan.plan(link::cmd::kReadNode, std::nullopt).bytes.empty());
    const PlannedReply planned = plan.plan(link::cmd::kReadNode, kReply);
    ASSERT_EQ(planned.bytes.size(), link::kFrameSize);
    EXPECT_NE(planned.bytes[link::offset::kEnd], link::kEndByte)
        << "the rule waited for a frame the encoder answers";
    EXPECT_TRUE(plan.empty()) << "a spent rule is dropped";
}

struct TextCase {
    const char* text;
    FaultRule expected;
};

// A write acknowledged and not applied: the reply is the usual echo, the encoder keeps its value,
// and once the rule is spent the same write takes.
TEST(FaultPlan, UnappliedWriteIsAcknowledgedAndChangesNothing) {
    SimulatedEncoder encoder(EncoderModel(Family::Ssi), 0);
    encoder.addFault({Fault::unapplied(), FaultScope::nextFrames(1), link::cmd::kWriteNumTurns});
    const std::uint32_t before =
        encoder.withModel([](EncoderModel& m) { return m.working().numTurns; });
    const link::Frame write = link::encodeFrame(1, link::cmd::kWriteNumTurns, 16);

    const Received first = encoder.receive(write.data(), write.size(), 0);
    ASSERT_EQ(first.exchanges.size(), 1U);
    EXPECT_EQ(first.exchanges[0].reply, Bytes(write.begin(), write.end()));
    EXPECT_EQ(encoder.withModel([](EncoderModel& m) { return m.working().numTurns; }), before);

    const Received second = encoder.receive(write.data(), write.size(), 1000000);
    ASSERT_EQ(second.exchanges.size(), 1U);
    EXPECT_EQ(second.exchanges[0].reply, Bytes(write.begin(), write.end()));
    EXPECT_EQ(encoder.withModel([](EncoderModel& m) { return m.working().numTurns; }), 16U);
}

TEST(FaultRuleText, ParsesEveryKindAndScope) {
    const TextCase cases[] = {
        {"noreply", {Fault::noReply(), FaultScope::everyFrame(), std::nullopt}},
        {"noreply:cmd=0x21:every=3", {Fault::noReply(), FaultScope::everyKth(3), 0x21}},
        {"late:ms=300:next=2", {Fault::lateReply(300), FaultScope::nextFrames(2), std::nullopt}},
        {"late", {Fault::lateReply(300), FaultScope::everyFrame(), std::nullopt}},
        {"error:cmd=171", {Fault::errorBit(), FaultScope::everyFrame(), 0xAB}},
        {"errorbit:cmd=0x24", {Fault::errorBit(), FaultScope::everyFrame(), 0x24}},
        {"checksum:prob=0.5", {Fault::badChecksum(), FaultScope::withProbability(0.5), {}}},
        {"start:next=1", {Fault::badStartByte(), FaultScope::nextFrames(1), std::nullopt}},
        {"end", {Fault::badEndByte(), FaultScope::everyFrame(), std::nullopt}},
        {"short", {Fault::shortFrame(5), FaultScope::everyFrame(), std::nullopt}},
        {"short:len=3", {Fault::shortFrame(3), FaultScope::everyFrame(), std::nullopt}},
        {"stray:byte=0x7C", {Fault::strayByte(0x7C), FaultScope::everyFrame(), std::nullopt}},
        {"error:byte=0x20:cmd=0xAB", {Fault::errorReply(0x20), FaultScope::everyFrame(), 0xAB}},
        {"data:byte=7:next=1", {Fault::wrongData(7), FaultScope::nextFrames(1), std::nullopt}},
        {"data", {Fault::wrongData(0), FaultScope::everyFrame(), std::nullopt}},
        {"ignore:cmd=0xA2:next=1", {Fault::unapplied(), FaultScope::nextFrames(1), 0xA2}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const std::optional<FaultRule> rule = parseFaultRule(c.text, error);
        ASSERT_TRUE(rule.has_value()) << error;
        EXPECT_EQ(*rule, c.expected);
    }
}

TEST(FaultRuleText, RefusesBadText) {
    const char* cases[] = {
        "",
        "drop",
        "noreply:cmd",
        "noreply:cmd=0x100",
        "noreply:every=0",
        "noreply:next=2:every=3",
        "noreply:prob=1.5",
        "noreply:ms=10",
        "short:len=9",
        "late:ms=abc",
        "stray:byte=256",
        "data:byte=0x100",
        "checksum:byte=1",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_FALSE(parseFaultRule(text, error).has_value());
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace orvo::sim
