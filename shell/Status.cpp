#include "shell/Status.h"

namespace {

const StatusMessage kCommon[] = {
    {6, kxmsg::kInvalidParameter},      {14, kxmsg::kHostNotFound},
    {15, kxmsg::kNotSupportedSwitch},   {19, kxmsg::kFileNotFound},
    {21, kxmsg::kAdapterNotFound},      {24, kxmsg::kPersonalityNotAllowed},
    {28, kxmsg::kTargetNotFound},       {31, kxmsg::kInvalidSignature},
    {34, kxmsg::kDiagnosticFailed},     {35, kxmsg::kNotSupportedAdapter},
    {36, kxmsg::kNotSupportedNvme},     {38, kxmsg::kStatisticsRead},
    {40, kxmsg::kNotSupportedBfs},      {42, kxmsg::kMemoryError},
    {43, kxmsg::kRequiresLinkUp},       {45, kxmsg::kDriverFirmwareNoSupport},
    {48, kxmsg::kNotDiagMode},          {51, kxmsg::kNotSupportedVport},
    {52, kxmsg::kFeatureDisabled},      {53, kxmsg::kNoRomBios},
    {54, kxmsg::kNoRomUefi},            {60, kxmsg::kMaintenanceMode},
};

const StatusMessage kNoMessage = {0xFFFFFFFFu, kxmsg::kUnknown};

}  // namespace

const char* LookupMessage(MessageTable table, uint32_t status) {
  for (const StatusMessage& row : table)
    if (row.status == status) return row.message;
  return kxmsg::kUnknown;
}

const StatusMessage& kxmsg::Common(uint32_t status) {
  for (const StatusMessage& row : kCommon)
    if (row.status == status) return row;
  return kNoMessage;
}

MessageTable kxmsg::Diagnostic() {
  static const StatusMessage kDiagnostic[] = {
      {0, kxkey::kSuccess},     Common(6),  {13, kDiagReadFailed},   Common(14), Common(19), {20, kDiagUpdateFailed},
      Common(21),               Common(28), Common(34),              Common(35), Common(40), Common(43),
      {44, kDiagNeeds16Gbps},   Common(48), Common(51),              Common(60),
  };
  return kDiagnostic;
}
