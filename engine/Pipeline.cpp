#include "engine/Pipeline.h"
#include "common/StringUtil.h"
int ProcessJobAndSendToPrinter(int, bool) { return 0; }
std::wstring BuildOutputJobName(const std::wstring& document) {
  int sum = 0;
  for (wchar_t c : document)
    if (c < 128) sum += c;
  return dv::Format(L"Dorvane  Job:%03d;%ls", sum % 1000, document.c_str());
}
