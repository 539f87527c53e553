#include "external/CExtensionPrograms.h"

#include "app/AppNames.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "external/CExtensionData.h"
#include "platform/CProcessLauncher.h"

CExtensionPrograms::CExtensionPrograms(Ui& ui) : ui(ui) {}

std::string CExtensionPrograms::FindProgram(const std::vector<CDBExtRec>& extensions,
                                            const std::string& label) {
  for (const CDBExtRec& extension : extensions) {
    if (extension.label == label) {
      return extension.program;
    }
  }
  return "";
}

std::vector<std::string> CExtensionPrograms::ProgramWords(const std::string& commandLine,
                                                          const std::string& fileName) {
  std::vector<std::string> words = CProcessLauncher::SplitCommandLine(commandLine);
  words.push_back(fileName);
  return words;
}

CExtensionPrograms::Outcome CExtensionPrograms::Run(const std::vector<CDBExtRec>& extensions,
                                                    const std::string& label,
                                                    const std::string& tempDirectory,
                                                    const std::string& text, std::time_t now) {
  Outcome outcome;
  auto fileName = CExtensionData::WriteFile(tempDirectory, now, text);
  if (!fileName) {
    ui.MessageBox(FormatText(kDataFileErrorText, tempDirectory.c_str()), kAppTitle, MsgButtons::Ok,
                  MsgIcon::Error);
    return outcome;
  }
  outcome.fileName = *fileName;
  std::string program = FindProgram(extensions, label);
  std::vector<std::string> words = ProgramWords(program, outcome.fileName);
  // A command line without a program leaves only the file name: that is no
  // program to run.
  if (words.size() < 2) {
    words.clear();
  }
  CProcessLauncher::Result result = CProcessLauncher::Start(words);
  switch (result.outcome) {
    case CProcessLauncher::Outcome::Started:
      outcome.started = true;
      break;
    case CProcessLauncher::Outcome::NotRunnable:
      ui.MessageBox(kLoadErrorText, kLoadErrorCaption, MsgButtons::Ok, MsgIcon::Error);
      break;
    case CProcessLauncher::Outcome::Failed:
      ui.MessageBox(program + "  " + outcome.fileName,
                    FormatText(kErrorNumberCaption, result.error), MsgButtons::Ok, MsgIcon::Error);
      break;
  }
  return outcome;
}
