#pragma once

#include <QUrl>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "console/menurules.h"

namespace talmor {

struct Deployment;

// Where a page's address starts: the back office, or one of the deployment's other sites.
enum class PageSite {
    BackOffice, // backOfficeBase, which ends in "/"
    Public,
    Shopping,
    Data,
    Mall,
    Mail,
    Office,
    Evaluation,
    Hotel,
    Flight,
    Train,
};

enum class PageTarget { WorkPane, SystemBrowser };

// One command that opens a web page: a menu item, a tool button, or a command only the
// window's command map answers.
struct BackOfficePage {
    int command;
    // The menu item's text or the button's tooltip (UTF-8); empty when there is none.
    const char* caption;
    // The popup of the main menu that carries the item; null for buttons and for commands
    // that no menu item carries.
    const char* popup;
    PageTarget target;
    PageSite site;
    // Appended to the site as written.
    const char* path;
    // The query as key=value pairs joined by "&"; the value "$o" stands for the operator id
    // and "$i" for the installation id.
    const char* query;
    // The menu item's update rule; none: always enabled.
    std::optional<MenuRule> rule;
    // The seat right the command checks when it runs (it does nothing without it); -1 none.
    int runRight;
};

// Every page command, in the order of the menu.
const std::vector<BackOfficePage>& BackOfficePages();
const BackOfficePage* FindBackOfficePage(int command);

// The start of every address of `site`.
QString SiteBase(const Deployment& deployment, const QString& backOfficeBase, PageSite site);
// The page's address for this operator and installation.
QUrl BuildPageUrl(const BackOfficePage& page, const Deployment& deployment,
                  const QString& backOfficeBase, uint32_t operatorId,
                  const std::string& installationId);

// The call-out page of the quick-action bar for `phone` (GBK) and `callId`.
QUrl CallOutUrl(const Deployment& deployment, uint32_t operatorId,
                const std::string& installationId, const std::string& phone, uint32_t callId);
// The notice strip's page for a client area `clientWidth` wide.
QUrl NoticeStripUrl(const QString& backOfficeBase, int clientWidth);

} // namespace talmor
