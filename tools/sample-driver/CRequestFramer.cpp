#include "CRequestFramer.h"

namespace {

bool IsClientRequest(std::uint32_t type) {
  switch (type) {
    case MSG_OPEN:
    case MSG_SEARCH:
    case MSG_GET_TITLE:
    case MSG_GET_RECORD:
    case MSG_CLOSE:
    case MSG_ECHO:
    case MSG_CANCEL_SEARCH:
    case MSG_GET_EXTENSION_DATA:
    case MSG_INFO_ANSWER:
    case MSG_BROWSE:
      return true;
    default:
      return false;
  }
}

bool ChangesOpenState(std::uint32_t type) {
  return type == MSG_OPEN || type == MSG_INFO_ANSWER;
}

// Whether the body ends right after the fifth zero byte (version, name and
// three field lists), leaving the environment block empty.
bool EnvironmentEmpty(const std::string& body) {
  std::size_t offset = 0;
  for (int i = 0; i < 5; ++i) {
    std::size_t zero = body.find('\0', offset);
    if (zero == std::string::npos) {
      return false;
    }
    offset = zero + 1;
  }
  return offset == body.size();
}

}  // namespace

bool CRequestFramer::Frame(bool fieldListSent, const std::function<void()>& onCancel) {
  std::size_t offset = 0;
  bool ok = true;
  while (input.size() - offset >= PacketHeader::kSize) {
    PacketHeader header =
        PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(input.data() + offset));
    if (!IsClientRequest(header.type) || header.length < 0 || header.length > kMaxBody) {
      ok = false;
      break;
    }
    std::size_t length = static_cast<std::size_t>(header.length);
    std::size_t available = input.size() - offset - PacketHeader::kSize;
    if (available < length) {
      break;
    }
    std::string body = input.substr(offset + PacketHeader::kSize, length);
    std::size_t extra = 0;
    if (header.type == MSG_OPEN && EnvironmentEmpty(body)) {
      extra = 1;
    } else if (header.type == MSG_GET_RECORD && header.param2 == 0 && length == 0) {
      // The client sends the byte only when it has a field list: wait until
      // an open in front of this request has been answered.
      if (pendingOpens > 0) {
        break;
      }
      extra = fieldListSent ? 1 : 0;
    }
    if (available < length + extra) {
      break;
    }
    if (extra == 1 && input[offset + PacketHeader::kSize + length] != '\0') {
      ok = false;
      break;
    }
    offset += PacketHeader::kSize + length + extra;
    if (header.type == MSG_CANCEL_SEARCH) {
      onCancel();
      continue;
    }
    if (ChangesOpenState(header.type)) {
      ++pendingOpens;
    }
    queuedBytes += body.size();
    requests.push_back({header, std::move(body)});
  }
  input.erase(0, offset);
  return ok;
}

CRequestFramer::Request CRequestFramer::Pop() {
  Request request = std::move(requests.front());
  requests.pop_front();
  queuedBytes -= request.body.size();
  if (ChangesOpenState(request.header.type)) {
    --pendingOpens;
  }
  return request;
}

bool CRequestFramer::DropSearches() {
  bool dropped = false;
  for (auto it = requests.begin(); it != requests.end();) {
    if (it->header.type == MSG_SEARCH) {
      queuedBytes -= it->body.size();
      it = requests.erase(it);
      dropped = true;
    } else {
      ++it;
    }
  }
  return dropped;
}

void CRequestFramer::Clear() {
  requests.clear();
  queuedBytes = 0;
  pendingOpens = 0;
}
