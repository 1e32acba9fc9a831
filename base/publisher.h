#pragma once
// The maker's addresses, in one place. The real host is not part of this
// repository; the names lie under a domain reserved for documentation.

namespace tblf {

constexpr const wchar_t* kWebSiteAddress = L"http://tabulift.example/";
constexpr const wchar_t* kFeedbackAddress = L"http://tabulift.example/ifa.php?TBLIFT";
constexpr const wchar_t* kContactAddress = L"http://tabulift.example/mail.html";
constexpr const wchar_t* kContributionAddress = L"http://tabulift.example/kifu.html";

// The update host: the update check fetches /update.txt from it over HTTP.
constexpr const char* kUpdateHost = "update.tabulift.example";
constexpr const wchar_t* kUpdateHostWide = L"update.tabulift.example";

}  // namespace tblf
