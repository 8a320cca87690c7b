// veldrix --decode over every real dump: strict JSON with every key of the
// veldrix-decode/1 schema, text without control bytes, and its usage errors.
#include "common/plain_text.hpp"
#include "support/capability_support.hpp"
#include "support/command_support.hpp"
#include "support/json_check.hpp"
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

#ifndef _WIN32
const char kDecodeSchemaCheck[] = R"(import json, sys
def check(path):
  d = json.load(open(path, encoding='utf-8'))
  bad = [k for k in ('schema','program','source','logical_processors','first_cpu','spans','ids') if k not in d]
  if bad: return bad
  field = {'leaf','subleaf','register','bits','name','label','kind','value','meaning'}
  raw = {'leaf','subleaf','eax','ebx','ecx','edx','note'}
  change = {'leaf','subleaf','register','bits','name','value','meaning','first_value','first_meaning'}
  place = {'package','core_type','low_power'}
  first = d['first_cpu']
  bad += [('first_cpu', k) for k in place | {'index','fields','raw_leaves'} if k not in first]
  bad += [('field', f) for f in first['fields'] if set(f) != field]
  bad += [('raw', r) for r in first['raw_leaves'] if set(r) != raw]
  for s in d['spans']:
    bad += [('span', k) for k in place | {'first_cpu','last_cpu','changes'} if k not in s]
    bad += [('change', c) for c in s['changes'] if set(c) != change]
  rows = d['ids']['cpus']
  if len(rows) != d['logical_processors']: bad.append(('ids', len(rows)))
  bad += [('ids', r) for r in rows if len(r['values']) != len(d['ids']['columns'])]
  if d['schema'] != 'veldrix-decode/1': bad.append(('schema', d['schema']))
  return bad
bad = [(p, check(p)) for p in sys.argv[1:] if check(p)]
print(bad); sys.exit(1 if bad else 0)
)";
#endif

std::string WriteTemp(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

bool FreeOfControlBytes(const std::string& text) {
    for (char c : WithLfLines(text, kPlainLineEnd)) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte != '\n' && (byte < 0x20 || byte == 0x7F)) {
            return false;
        }
    }
    return true;
}

TEST(DecodeOutput, EveryRealDumpDecodesToStrictJsonAndPlainText) {
    std::string documents;
    for (const std::string& name : TestDumpNames()) {
        SCOPED_TRACE(name);
        CommandOutcome json = RunOptions({"-r", TestDumpPath(name.c_str()), "--decode", "--json"});
        EXPECT_EQ(json.status, 0);
        EXPECT_TRUE(IsWellFormedJson(json.out));
        documents += " " + WriteTemp("veldrix_decode_" + name + ".json", json.out);
        CommandOutcome text = RunOptions({"-r", TestDumpPath(name.c_str()), "--decode"});
        EXPECT_EQ(text.status, 0);
        EXPECT_TRUE(EveryLineEndsWith(text.out, kPlainLineEnd));
        EXPECT_TRUE(FreeOfControlBytes(text.out));
    }
#ifndef _WIN32
    std::string script = WriteTemp("veldrix_decode_schema_check.py", kDecodeSchemaCheck);
    EXPECT_EQ(std::system(("python3 " + script + documents).c_str()), 0);
#endif
}

struct DecodeUsageCase {
    const char* name;
    std::vector<std::string> args;
    int status;
};

const DecodeUsageCase kUsageCases[] = {
    {"unknown operand", {"--decode", "--bogus"}, 64},
    {"json twice", {"--decode", "--json", "--json"}, 64},
    {"missing dump", {"-r", "/nonexistent/dump.txt", "--decode"}, 2},
};

TEST(DecodeOutput, BadArgumentsAndUnreadableDumps) {
    for (const DecodeUsageCase& row : kUsageCases) {
        CommandOutcome outcome = RunOptions(row.args);
        EXPECT_EQ(outcome.status, row.status) << row.name;
        EXPECT_TRUE(outcome.out.empty()) << row.name;
        EXPECT_FALSE(outcome.err.empty()) << row.name;
    }
}

} // namespace
