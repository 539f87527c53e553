#include "app/CAboutDlg.h"

#include "app/AboutTexts.h"
#include "app/AppNames.h"

std::string CAboutDlg::FullName() const {
  return kProgramFullName;
}
std::string CAboutDlg::VersionLabel() const {
  return kVersionLabel;
}
std::string CAboutDlg::VersionText() const {
  return kVersionText;
}
std::string CAboutDlg::Copyright() const {
  return kMakerCopyrightText;
}
std::string CAboutDlg::Description() const {
  return kMakerDescriptionText;
}
std::string CAboutDlg::Contact() const {
  return kMakerContactText;
}
std::string CAboutDlg::Documentation() const {
  return kMakerDocumentationText;
}
