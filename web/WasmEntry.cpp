// The converter's entry for the WebAssembly build. The page (or node) writes
// the POF into the in-memory file system and calls fusecvt_run with the
// argument list; the run is the command line's own, its console and error
// text are kept here for the caller to read. fusecvt_inspect reads a POF from
// memory and answers its device, package, pin count, the -device words of its
// family and the option defaults of its kind, as one JSON object.
#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "driver/CommandLine.h"
#include "driver/Conversion.h"
#include "driver/Run.h"
#include "driver/Text.h"
#include "pof/PofReader.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define FUSECVT_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define FUSECVT_EXPORT
#endif

namespace {

// Text of the last call, read back by the caller before the next one.
std::string lastConsole;
std::string lastError;
std::string lastInspection;

// Arguments arrive as one block of NUL-terminated words.
std::vector<std::string> SplitWords(const char* packed, int length) {
  std::vector<std::string> words;
  if (!packed || length <= 0) return words;
  std::string current;
  for (int i = 0; i < length; ++i) {
    if (packed[i] == '\0') {
      words.push_back(current);
      current.clear();
    } else {
      current += packed[i];
    }
  }
  if (!current.empty()) words.push_back(current);
  return words;
}

void AppendJsonString(std::string& out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7f) {
      // Non-ASCII bytes are shown as the code points of the same value, so
      // the JSON stays valid whatever the POF holds.
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

const char* StateWord(fusecvt::OptionState state) {
  switch (state) {
    case fusecvt::AUTO: return "auto";
    case fusecvt::SLOW: return "slow";
    case fusecvt::FAST: return "fast";
    case fusecvt::ON: return "on";
    case fusecvt::OFF: return "off";
    case fusecvt::UNSET: break;
  }
  return "";
}

// The -device words that lead to a target for the source device; the first
// is of the target family taken when no word is given.
std::vector<const char*> DeviceWordsFor(const std::string& name) {
  using fusecvt::Contains;
  if (Contains(name, "7032S") || Contains(name, "7032AE") || Contains(name, "3032A")) {
    return {"6032es", "6032esl"};
  }
  if (Contains(name, "7032")) return {"6000e", "p6000", "6032es", "6032esl"};
  if (Contains(name, "7128") || Contains(name, "3128")) return {"6128es", "6128esl"};
  if (Contains(name, "7064") || Contains(name, "3064")) return {"6064es", "6064esl"};
  return {};
}

}  // namespace

extern "C" {

// Runs the converter with args (program name first) as NUL-terminated words.
// Returns the exit status; the console and error text are then available.
FUSECVT_EXPORT int fusecvt_run(const char* packedArgs, int length) {
  std::ostringstream console, error;
  int status = 0;
  {
    fusecvt::Conversion run(console, error, fusecvt::Clock::System());
    status = fusecvt::RunConversion(SplitWords(packedArgs, length), run);
  }
  lastConsole = console.str();
  lastError = error.str();
  return status;
}

FUSECVT_EXPORT const char* fusecvt_console() { return lastConsole.c_str(); }
FUSECVT_EXPORT int fusecvt_console_length() { return static_cast<int>(lastConsole.size()); }
FUSECVT_EXPORT const char* fusecvt_error() { return lastError.c_str(); }
FUSECVT_EXPORT int fusecvt_error_length() { return static_cast<int>(lastError.size()); }

// Reads the POF bytes as the converter does and describes the source as JSON:
// {"device","package","pins","words":[...],"defaults":{"slew","open_out","jtag"},
//  "console","error"}; "device" is empty when the reader found none. The
// reader's messages name the file `name`.
FUSECVT_EXPORT const char* fusecvt_inspect(const char* bytes, int length, const char* name) {
  std::ostringstream console, error;
  fusecvt::Conversion run(console, error, fusecvt::Clock::System());
  run.options.programName = "fusecvt";
  run.options.inputFileName = name ? name : "";
  std::istringstream in(std::string(bytes ? bytes : "", bytes && length > 0 ? static_cast<std::size_t>(length) : 0));
  const fusecvt::LoadStatus load = fusecvt::PofReader(run).LoadFrom(in);
  const std::string& device = run.pof.sourceDeviceName;
  if (!device.empty()) fusecvt::ResolveSourceDefaults(device, run.options);

  std::string& out = lastInspection;
  out = "{\"device\":";
  AppendJsonString(out, device);
  out += ",\"package\":";
  AppendJsonString(out, run.pof.packageName);
  out += ",\"pins\":" + std::to_string(run.pof.pinCount);
  out += ",\"readable\":";
  out += !load.exitStatus && (load.result == 0 || run.sources.HasFuseData()) ? "true" : "false";
  out += ",\"words\":[";
  const char* separator = "";
  for (const char* word : DeviceWordsFor(device)) {
    out += separator;
    AppendJsonString(out, word);
    separator = ",";
  }
  out += "],\"defaults\":{\"slew\":";
  AppendJsonString(out, StateWord(run.options.slew));
  out += ",\"open_out\":";
  AppendJsonString(out, StateWord(run.options.openOut));
  out += ",\"jtag\":";
  AppendJsonString(out, StateWord(run.options.jtag));
  out += ",\"mc_power\":";
  AppendJsonString(out, StateWord(run.options.mcPower));
  out += "},\"console\":";
  AppendJsonString(out, console.str());
  out += ",\"error\":";
  AppendJsonString(out, error.str());
  out += "}";
  return out.c_str();
}

}  // extern "C"
