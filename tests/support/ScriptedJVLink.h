// A JV-Link whose answers a test writes down beforehand, and which keeps
// every call it received in order.
//
//   ScriptedJVLink jv;
//   jv.readCount = 2;
//   jv.downloadCount = 1;
//   jv.statusResults = {0, 1};
//   jv.reads = {Record(ra), -1, Record(se), -1, 0};
//
// JVRead answers the scripted steps one by one and 0 once they are used up;
// JVStatus answers its list likewise and repeats the last value. A step may
// carry an action run just before it answers (the user clicking a button
// while the loop lets window messages through).
#pragma once

#include "acquisition/JVLink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tervan::test {

class ScriptedJVLink : public IJVLink {
public:
    struct ReadStep {
        ReadStep(std::int32_t c) : code(c) {} // NOLINT: a bare result code
        ReadStep(std::int32_t c, std::string r, std::function<void()> a = {})
            : code(c), record(std::move(r)), before(std::move(a))
        {
        }
        std::int32_t code = 0;
        std::string record;          // the record of a positive step
        std::function<void()> before; // run before the step answers
    };
    // A step that delivers one record (its length is the answer).
    static ReadStep Record(std::string record, std::function<void()> before = {})
    {
        const auto length = static_cast<std::int32_t>(record.size());
        return ReadStep(length, std::move(record), std::move(before));
    }
    static ReadStep Code(std::int32_t code, std::function<void()> before)
    {
        return ReadStep(code, {}, std::move(before));
    }

    // Answers.
    std::int32_t initResult = 0;
    std::string version = "0490";
    std::int32_t setUIResult = 0;
    std::function<void()> onSetUI;
    std::int32_t openResult = 0;
    std::int32_t readCount = 0;
    std::int32_t downloadCount = 0;
    std::string lastFileTimestamp;
    std::vector<std::int32_t> statusResults;
    std::vector<ReadStep> reads;
    std::int32_t rtOpenResult = 0;
    std::int32_t closeResult = 0;

    // Every call, in order: "JVOpen(RACERCVN,20060520000000,2)", "JVStatus",
    // "JVRead", "JVRTOpen(0B12,20060528)", "JVCancel", "JVClose", ...
    std::vector<std::string> calls;
    std::int32_t lastReadSize = 0;

    int Count(const std::string& call) const
    {
        int n = 0;
        for (const std::string& c : calls)
            n += c == call;
        return n;
    }

    std::int32_t JVInit(const std::string& sid) override
    {
        calls.push_back("JVInit");
        return initResult;
    }
    std::string JVLinkVersion() override { return version; }
    std::int32_t JVSetUIProperties() override
    {
        calls.push_back("JVSetUIProperties");
        if (onSetUI)
            onSetUI();
        return setUIResult;
    }
    std::int32_t JVOpen(const std::string& dataspec, const std::string& fromtime, std::int32_t option,
                        std::int32_t& rc, std::int32_t& dc, std::string& stamp) override
    {
        calls.push_back("JVOpen(" + dataspec + "," + fromtime + "," + std::to_string(option) + ")");
        rc = readCount;
        dc = downloadCount;
        stamp = lastFileTimestamp;
        return openResult;
    }
    std::int32_t JVStatus() override
    {
        calls.push_back("JVStatus");
        if (statusResults.empty())
            return downloadCount;
        std::int32_t st = statusResults.front();
        if (statusResults.size() > 1)
            statusResults.erase(statusResults.begin());
        return st;
    }
    std::int32_t JVRead(std::string& buff, std::int32_t& size, std::string& fileName) override
    {
        calls.push_back("JVRead");
        lastReadSize = size;
        if (nextRead >= reads.size())
            return 0;
        ReadStep& step = reads[nextRead++];
        if (step.before)
            step.before();
        if (step.code > 0) {
            buff = step.record;
            fileName = "RACE20060528120000.jvd";
        }
        return step.code;
    }
    std::int32_t JVRTOpen(const std::string& dataspec, const std::string& key) override
    {
        calls.push_back("JVRTOpen(" + dataspec + "," + key + ")");
        return rtOpenResult;
    }
    void JVCancel() override { calls.push_back("JVCancel"); }
    std::int32_t JVClose() override
    {
        calls.push_back("JVClose");
        return closeResult;
    }

    std::size_t nextRead = 0;
};

} // namespace tervan::test
