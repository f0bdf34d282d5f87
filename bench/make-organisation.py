#!/usr/bin/env python3
"""Writes a groupware-sim organisation file with N members for the benchmarks.

    bench/make-organisation.py 1000 > /tmp/org-1000.json

Members are placed in groups of 50 (営業第1課, ...); member 1 is 山田 太郎 with the password "yamada"
and the demo's schedule, telephone memos, links and articles, so that the top page is as full as the
demo's; every other member's password is "pw" followed by the id. Every member has a whereabouts
entry with a contact text, updated today or yesterday. The output is deterministic.
"""
import json
import os
import sys

SURNAMES = ["佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
            "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林", "斎藤", "清水"]
GIVEN = ["太郎", "花子", "一郎", "美咲", "健太", "陽子", "翔", "結衣", "大輔", "直子",
         "誠", "由美", "拓也", "恵", "浩二", "真由美", "亮", "彩", "隆", "愛"]
PLACES = ["在席", "外出", "会議", "来客中", "出張", "--", "直行", "直帰", "休暇", "帰宅", "不在"]
GROUP_SIZE = 50


def member_name(i):
    # 400 distinct names; larger organisations repeat them with a number, as real directories do.
    base = SURNAMES[i % len(SURNAMES)] + " " + GIVEN[(i // len(SURNAMES)) % len(GIVEN)]
    return base if i < len(SURNAMES) * len(GIVEN) else "%s%d" % (base, i)


def entry(uid):
    place = PLACES[uid % len(PLACES)]
    if uid % 7 == 0:
        position = place + " (15時まで)"
    elif uid % 5 == 0:
        position = place + "*"
    else:
        position = place
    contact = "内線%d" % (1000 + uid) if uid % 3 else "携帯090-%04d-%04d" % (uid % 10000, (uid * 7) % 10000)
    updated = "yesterday 17:%02d" % (uid % 60) if uid % 4 == 0 else "-%dm" % (5 + uid % 180)
    return {"user": uid, "position": position, "contact": contact, "updated": updated}


def main():
    if len(sys.argv) != 2 or not sys.argv[1].isdigit() or int(sys.argv[1]) < 1:
        sys.exit("usage: make-organisation.py MEMBERS")
    count = int(sys.argv[1])
    demo_path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "groupware-sim", "data",
                             "demo.json")
    with open(demo_path, encoding="utf-8") as f:
        demo = json.load(f)

    group_count = (count + GROUP_SIZE - 1) // GROUP_SIZE
    groups = [{"id": g + 1, "name": "営業第%d課" % (g + 1)} for g in range(group_count)]
    users = []
    for uid in range(1, count + 1):
        group = (uid - 1) // GROUP_SIZE + 1
        user = {"id": uid, "name": member_name(uid - 1), "password": "pw%d" % uid, "groups": [group]}
        if uid == 1:
            user.update({"name": "山田 太郎", "password": "yamada", "mail": 3, "circulars": 2, "workflowPending": 1,
                         "workflowResults": 2})
        users.append(user)

    # The demo's items that name members beyond the organisation are left out.
    def known(*ids):
        return all(1 <= i <= count for i in ids)

    org = {
        "name": demo["name"],
        "noticeMarker": demo.get("noticeMarker", "Persional"),
        "everyoneMayChangeOthers": False,
        "applications": demo["applications"],
        "places": PLACES,
        "groups": groups,
        "users": users,
        "entries": [entry(uid) for uid in range(1, count + 1)],
        "memos": [m for m in demo["memos"] if m["to"] == 1 and known(m["from"])],
        "schedule": [s for s in demo["schedule"] if s["user"] == 1],
        "links": demo["links"],
        "articles": [a for a in demo["articles"] if known(a["author"])],
    }
    json.dump(org, sys.stdout, ensure_ascii=False, indent=0)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
