// cdstool trace: runs dataset commands and prints every event and notice as
// it happens, with a summary line after each command.
#include <cstdio>
#include <string>
#include <vector>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "tools/cdstool/commands.h"
#include "tools/cdstool/trace_options.h"

namespace cdstool {

using namespace dorvem;

namespace {

void Say(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
}

// A view that prints the notices it receives.
class TraceLink : public TDataLink {
 public:
  bool live = false;  // quiet while being attached

 protected:
  void StateChanged() override {
    if (live) Say("StateChanged");
  }
  void DataSetChanged() override { Say("DataSetChanged"); }
  void DataSetScrolled(int distance) override {
    Say("DataSetScrolled " + std::to_string(distance));
  }
};

std::string Summary(const std::string& command, TClientDataSet& ds) {
  std::string line = "= " + command + " bof=" + (ds.AtBeginning() ? "1" : "0") +
                     " eof=" + (ds.AtEnd() ? "1" : "0");
  const bool current = ds.Active() && !ds.IsEmpty();
  const RecordBuffer* active = current ? &ds.Buffer(ds.ActiveSlot()) : nullptr;
  line += " rec=" + (active ? std::to_string(active->bookmark.record) : std::string("-"));
  line += " seq=" + (active ? std::to_string(active->sequence) : std::string("-"));
  line += " window=";
  for (int i = 0; ds.Active() && i < ds.WindowRecordCount(); ++i) {
    if (i) line += ",";
    line += std::to_string(ds.Buffer(i).bookmark.record);
  }
  return line;
}

int ParseInt(const std::string& text, const std::string& command) {
  try {
    std::size_t used = 0;
    const int v = std::stoi(text, &used);
    if (used == text.size()) return v;
  } catch (const std::exception&) {
  }
  throw UsageError("bad number in '" + command + "'");
}

}  // namespace

int RunTrace(const Args& args, const Context& context) {
  std::string file;
  int window = 1;
  std::vector<std::string> commands;
  TraceSettings settings;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--window" && i + 1 < args.size()) {
      window = ParseInt(args[++i], a);
      if (window < 1) throw UsageError("--window needs a positive count");
    } else if (ParseTraceOption(args, &i, &settings)) {
      continue;
    } else if (!a.empty() && a[0] == '-' && a.size() > 1 && a[1] == '-') {
      throw UsageError("unknown option '" + a + "'");
    } else if (file.empty()) {
      file = a;
    } else {
      commands.push_back(a);
    }
  }
  if (file.empty() || commands.empty()) throw UsageError("trace needs FILE and COMMANDs");

  TClientDataSet ds("tblAdat");
  ds.SetFileName(file);
  ds.SetCacheFolder(context.cacheFolder);
  ApplyTraceSettings(settings, ds);
  TDataSource source("DataSource1");
  TraceLink link;
  link.SetBufferCount(window);
  source.SetDataSet(&ds);
  link.SetDataSource(&source);
  link.live = true;
  ds.BeforeOpen = [](TDataSet&) { Say("BeforeOpen"); };
  ds.AfterOpen = [](TDataSet&) { Say("AfterOpen"); };
  ds.BeforeClose = [](TDataSet&) { Say("BeforeClose"); };
  ds.AfterClose = [](TDataSet&) { Say("AfterClose"); };
  ds.BeforeScroll = [](TDataSet&) { Say("BeforeScroll"); };
  ds.AfterScroll = [](TDataSet&) { Say("AfterScroll"); };

  for (const std::string& command : commands) {
    try {
      const auto colon = command.find(':');
      const std::string verb = command.substr(0, colon);
      const std::string arg = colon == std::string::npos ? "" : command.substr(colon + 1);
      if (command == "open")
        ds.Open();
      else if (command == "close")
        ds.Close();
      else if (command == "first")
        ds.GoFirst();
      else if (command == "last")
        ds.GoLast();
      else if (command == "next")
        ds.GoNext();
      else if (command == "prior")
        ds.GoPrior();
      else if (verb == "move" && colon != std::string::npos)
        ds.MoveRecords(ParseInt(arg, command));
      else if (verb == "goto" && colon != std::string::npos)
        ds.GoToNumber(ParseInt(arg, command));
      else if (!RunTraceSettingCommand(verb, arg, colon != std::string::npos, ds))
        throw UsageError("unknown trace command '" + command + "'");
    } catch (const UsageError&) {
      throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
      Say("! " + ErrorReportText(e.what()));
    }
    Say(Summary(command, ds));
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace cdstool
