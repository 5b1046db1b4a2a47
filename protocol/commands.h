#pragma once

#include <cstdint>

namespace talmor {

// Datagram command codes. Incoming (server -> console) and outgoing (console -> server) codes
// share numbers in places (2, 3, 8, 9, 10, 1802, 1803, 1858, 1859) under different names. The
// peer media family as the other side sees it (768-785) reuses the names of the requests that
// cause it, so it lives in namespace `incoming`.

// Both directions.
constexpr uint16_t CMD_ACK = 1;
constexpr uint16_t CMD_KEEP_ALIVE = 6;

// Server -> console.
constexpr uint16_t CMD_CONTACT_LIST = 2;
constexpr uint16_t CMD_LOGIN_REPLY = 3;
constexpr uint16_t CMD_LOGGED_IN_ELSEWHERE = 4;
constexpr uint16_t CMD_USER_INFO = 8;
constexpr uint16_t CMD_OWN_PROFILE = 9;
constexpr uint16_t CMD_GROUP_LIST = 10;
constexpr uint16_t CMD_CONTACT_ONLINE = 512;
constexpr uint16_t CMD_CONTACT_OFFLINE = 513;
constexpr uint16_t CMD_ONLINE_CONTACTS = 514;
constexpr uint16_t CMD_CONTACT_STATUS = 515;
constexpr uint16_t CMD_GROUP_CREATED = 516;
constexpr uint16_t CMD_GROUP_NAME_CHANGED = 517;
constexpr uint16_t CMD_GROUP_DELETED = 518;
constexpr uint16_t CMD_SERVER_MESSAGE = 519;
constexpr uint16_t CMD_USER_SUMMARY_LIST = 520;
constexpr uint16_t CMD_CONTACT_MOVED = 521;
constexpr uint16_t CMD_CONTACT_DELETED = 522;
constexpr uint16_t CMD_CONTACT_ADDED = 523;
constexpr uint16_t CMD_ADD_REQUEST = 524;
constexpr uint16_t CMD_NOTICE_525 = 525;
constexpr uint16_t CMD_NOTICE_526 = 526;
constexpr uint16_t CMD_NOTICE_527 = 527;
constexpr uint16_t CMD_SEAT_RIGHTS = 1536;
constexpr uint16_t CMD_HELP_CALLS = 1537;
constexpr uint16_t CMD_SOS_CALLS = 1538;
constexpr uint16_t CMD_NEW_CALL = 1539;
constexpr uint16_t CMD_CALL_NOTICE_DONE = 1540;
constexpr uint16_t CMD_SEARCH_RESULT_A = 1541;
constexpr uint16_t CMD_SEARCH_RESULT_C = 1542;
constexpr uint16_t CMD_CALL_NOTICE_DONE_2 = 1544;
constexpr uint16_t CMD_PROVIDER_COUNT = 1545;
constexpr uint16_t CMD_CUSTOMER_COUNT = 1546;
constexpr uint16_t CMD_SEARCH_RESULT_D = 1547;
constexpr uint16_t CMD_CALL_MEMO_SAVED = 1798;
constexpr uint16_t CMD_SEARCH_RESULT_B = 1800;
constexpr uint16_t CMD_SELLER_RESULT = 1802;
constexpr uint16_t CMD_SCOPE_NOTICE = 1803;
constexpr uint16_t CMD_FAMILY_CONTACT = 1805;
constexpr uint16_t CMD_CATEGORY_CALLS = 1833; // 1833 + k for category pane k = 0..23
constexpr uint16_t CMD_SERVICE_CALLS = 1857;
constexpr uint16_t CMD_REMINDER_SCHEDULE = 1858;
constexpr uint16_t CMD_SCOPE_CODE = 1859;
constexpr uint16_t CMD_HELP_TOTAL = 1862;
constexpr uint16_t CMD_SOS_TOTAL = 1863;
constexpr uint16_t CMD_TAKEN_CALLS = 1865;
constexpr uint16_t CMD_CALL_GONE = 1867;
constexpr uint16_t CMD_FAMILY_CONTACT_2 = 1872;

// Console -> server.
constexpr uint16_t CMD_GET_CONTACTS = 2;
constexpr uint16_t CMD_LOGIN = 3;
constexpr uint16_t CMD_LOGOUT = 5;
constexpr uint16_t CMD_SET_STATUS = 7;
constexpr uint16_t CMD_GET_USER_INFO = 8;
constexpr uint16_t CMD_GET_OWN_PROFILE = 9;
constexpr uint16_t CMD_GET_GROUPS = 10;
constexpr uint16_t CMD_CREATE_GROUP = 11;
constexpr uint16_t CMD_RENAME_GROUP = 12;
constexpr uint16_t CMD_DELETE_GROUP = 13;
constexpr uint16_t CMD_MOVE_NEW_CONTACT = 14;
constexpr uint16_t CMD_SEND_MESSAGE = 15;
constexpr uint16_t CMD_MOVE_CONTACT = 17;
constexpr uint16_t CMD_DELETE_CONTACT = 18;
constexpr uint16_t CMD_ADD_CONTACT = 19;
constexpr uint16_t CMD_FILE_OFFER = 256;
constexpr uint16_t CMD_FILE_ACCEPT = 257;
constexpr uint16_t CMD_FILE_CANCEL = 258;
constexpr uint16_t CMD_FILE_RELAY_ASK = 259;
constexpr uint16_t CMD_FILE_RELAY_ANSWER = 260;
constexpr uint16_t CMD_FILE_RELAY_DATA = 261;
constexpr uint16_t CMD_VOICE_OFFER = 262;
constexpr uint16_t CMD_VOICE_ACCEPT = 263;
constexpr uint16_t CMD_VOICE_CANCEL = 264;
constexpr uint16_t CMD_VOICE_RELAY_ASK = 265;
constexpr uint16_t CMD_VOICE_RELAY_ANSWER = 266;
constexpr uint16_t CMD_VOICE_RELAY_DATA = 267;
constexpr uint16_t CMD_VIDEO_OFFER = 268;
constexpr uint16_t CMD_VIDEO_ACCEPT = 269;
constexpr uint16_t CMD_VIDEO_CANCEL = 270;
constexpr uint16_t CMD_VIDEO_RELAY_ASK = 271;
constexpr uint16_t CMD_VIDEO_RELAY_ANSWER = 272;
constexpr uint16_t CMD_VIDEO_RELAY_DATA = 273;
constexpr uint16_t CMD_GET_RIGHTS = 1280;
constexpr uint16_t CMD_GET_HELP_CALLS = 1281;
constexpr uint16_t CMD_GET_SOS_CALLS = 1282;
constexpr uint16_t CMD_SEARCH_USERS = 1284;
constexpr uint16_t CMD_SERVICE_NOTICE_2 = 1287;
constexpr uint16_t CMD_GET_COUNT_1 = 1288;
constexpr uint16_t CMD_GET_COUNT_2 = 1289;
constexpr uint16_t CMD_SEARCH_COLLEAGUES = 1290;
constexpr uint16_t CMD_CALL_REPORT = 1797;
constexpr uint16_t CMD_SEARCH_PROVIDERS = 1799;
constexpr uint16_t CMD_SELLER_QUERY = 1802;
constexpr uint16_t CMD_GET_SCOPE_NOTICE = 1803;
constexpr uint16_t CMD_GET_FAMILY = 1804;
constexpr uint16_t CMD_MISDIAL = 1806;
constexpr uint16_t CMD_SOS_SMS = 1807;
constexpr uint16_t CMD_GET_CATEGORY_CALLS = 1808; // 1808 + k for category pane k = 0..23
constexpr uint16_t CMD_GET_SERVICE_CALLS = 1832;
constexpr uint16_t CMD_GET_REMINDER = 1858;
constexpr uint16_t CMD_GET_SCOPE_CODE = 1859;
constexpr uint16_t CMD_GET_TOTAL_1 = 1860;
constexpr uint16_t CMD_GET_TOTAL_2 = 1861;
constexpr uint16_t CMD_GET_TAKEN_CALLS = 1864;
constexpr uint16_t CMD_TAKE_CALL = 1866;
constexpr uint16_t CMD_GIVE_UP_CALL = 1868;
constexpr uint16_t CMD_BLACKLIST = 1870;
constexpr uint16_t CMD_GET_FAMILY_2 = 1871;

namespace incoming {
constexpr uint16_t CMD_FILE_OFFER = 768;
constexpr uint16_t CMD_FILE_ACCEPTED = 769;
constexpr uint16_t CMD_FILE_CANCELLED = 770;
constexpr uint16_t CMD_FILE_RELAY_ASK = 771;
constexpr uint16_t CMD_FILE_RELAY_READY = 772;
constexpr uint16_t CMD_FILE_RELAY_DATA = 773;
constexpr uint16_t CMD_VOICE_OFFER = 774;
constexpr uint16_t CMD_VOICE_ACCEPTED = 775;
constexpr uint16_t CMD_VOICE_CANCELLED = 776;
constexpr uint16_t CMD_VOICE_RELAY_ASK = 777;
constexpr uint16_t CMD_VOICE_RELAY_READY = 778;
constexpr uint16_t CMD_VOICE_RELAY_DATA = 779;
constexpr uint16_t CMD_VIDEO_OFFER = 780;
constexpr uint16_t CMD_VIDEO_ACCEPTED = 781;
constexpr uint16_t CMD_VIDEO_CANCELLED = 782;
constexpr uint16_t CMD_VIDEO_RELAY_ASK = 783;
constexpr uint16_t CMD_VIDEO_RELAY_READY = 784;
constexpr uint16_t CMD_VIDEO_RELAY_DATA = 785;
} // namespace incoming

constexpr int kCategoryPaneCount = 24;

} // namespace talmor
