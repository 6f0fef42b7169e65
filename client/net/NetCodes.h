// The codes of the client-server protocol, in one place: the number that starts every message
// text, and the dwData of the lobby's hand-over.
#pragma once

// dwData of the WM_COPYDATA that hands the connect string over.
#define COPYDATA_CONNECT 28

// Requests of the client.
constexpr int NET_HELLO = 503;   // keep-alive: "hello"
constexpr int NET_LOGIN = 1500;  // "cs", "0086", slot type, slot id, user id
constexpr int NET_ENTER = 1510;  // slot id
constexpr int NET_BET = 1530;    // 1, amount, 1, slot id, user id
constexpr int NET_LUCK = 1540;   // "luck"
constexpr int NET_CARDS = 1542;  // 0 to deal; 1 and the hold text to draw
constexpr int NET_BONUS = 1550;  // 15 values
constexpr int NET_QUIT = 1599;   // "quit"; the connection closes after it

// Replies of the server.
constexpr int NET_LOGIN_REPLY = 1501;   // field 1: 1 accepted
constexpr int NET_ENTER_REPLY = 1511;   // field 1: 1 accepted; field 3 the game key
constexpr int NET_MONEY = 1521;         // credits notice
constexpr int NET_BET_REPLY = 1531;     // field 2: 1 accepted; field 3 the amount
constexpr int NET_ROUND_RESULT = 1541;  // a turntable round's result
constexpr int NET_CARD_RESULT = 1543;   // a card or mahjong round's result
constexpr int NET_BONUS_RESULT = 1551;  // a bonus box's result
constexpr int NET_WEEK = 1570;          // week counters

// Field value of an accepted login, entry or bet.
constexpr int NET_ACCEPTED = 1;
