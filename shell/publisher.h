#pragma once
// The maker's addresses, in one place. The real host is not part of this
// repository; the names lie under a domain reserved for documentation.

namespace tblf {

constexpr const wchar_t* kWebSiteAddress = L"http://tabulift.example/";
constexpr const wchar_t* kFeedbackAddress = L"http://tabulift.example/ifa.php?TBLIFT";

}  // namespace tblf
