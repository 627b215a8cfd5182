#!/usr/bin/python3
"""Decodes one received message with Python's own e-mail parser, so that the mail tests read what
a mail program would show, not what our encoder meant. Prints JSON: the decoded headers, the text
body and every attachment (file name, content type, decoded text)."""
import json
import sys
from email import policy
from email.parser import BytesParser
from email.utils import parsedate_to_datetime

with open(sys.argv[1], "rb") as f:
    msg = BytesParser(policy=policy.default).parse(f)

out = {"headers": {}, "defects": [str(d) for d in msg.defects], "attachments": []}
for name in ("From", "To", "Subject", "Date", "Message-ID", "MIME-Version", "X-Envelope-From", "X-Envelope-To"):
    if msg[name] is not None:
        out["headers"][name] = str(msg[name])
to = msg["To"].addresses[0] if msg["To"] else None
frm = msg["From"].addresses[0] if msg["From"] else None
out["to_name"], out["to_address"] = (to.display_name, to.addr_spec) if to else ("", "")
out["from_name"], out["from_address"] = (frm.display_name, frm.addr_spec) if frm else ("", "")
try:
    out["date_epoch"] = parsedate_to_datetime(msg["Date"]).timestamp()
except Exception:
    out["date_epoch"] = None
body = msg.get_body(preferencelist=("plain",))
out["body"] = body.get_content() if body else None
out["body_charset"] = body.get_content_charset() if body else None
out["body_cte"] = body["Content-Transfer-Encoding"] if body else None
for part in msg.iter_attachments():
    out["attachments"].append({"filename": part.get_filename(), "type": part.get_content_type(),
                               "text": part.get_content() if part.get_content_maintype() == "text" else None})
for line in open(sys.argv[1], "rb").read().split(b"\r\n"):
    if len(line) > 998:
        out["defects"].append("line longer than 998 octets")
print(json.dumps(out, ensure_ascii=False))
