// A kept-alive HTTP connection on libcurl's easy interface, set up as the companion sets up its
// own (a small request goes out in one write): what the benches send over.
#pragma once

#include <curl/curl.h>

#include <string>
#include <vector>

class KeptConnection {
  public:
    // Requests go to `url` with the header lines given ("Name: value").
    explicit KeptConnection(const std::string& url, const std::vector<std::string>& headers = {})
        : handle_(curl_easy_init()), url_(url) {
        for (const std::string& line : headers) {
            headers_ = curl_slist_append(headers_, line.c_str());
        }
        headers_ = curl_slist_append(headers_, "Expect:");  // the body goes with the head
        curl_easy_setopt(handle_, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle_, CURLOPT_PROXY, "");
        curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &KeptConnection::Keep);
        curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &answer_);
    }
    ~KeptConnection() {
        curl_easy_cleanup(handle_);
        curl_slist_free_all(headers_);
    }
    KeptConnection(const KeptConnection&) = delete;
    KeptConnection& operator=(const KeptConnection&) = delete;

    // A GET; true when it was answered with status 200.
    bool Get() {
        curl_easy_setopt(handle_, CURLOPT_HTTPGET, 1L);
        return Perform();
    }
    // A POST of `body`, which stays valid meanwhile; true when it was answered with status 200.
    bool Post(const std::string& body) {
        curl_easy_setopt(handle_, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(handle_, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
        return Perform();
    }
    // The last answer's body.
    const std::string& Answer() const { return answer_; }

  private:
    bool Perform() {
        answer_.clear();
        long status = 0;
        return curl_easy_perform(handle_) == CURLE_OK &&
               curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
               status == 200;
    }
    static size_t Keep(char* data, size_t size, size_t count, void* answer) {
        static_cast<std::string*>(answer)->append(data, size * count);
        return size * count;
    }

    CURL* handle_;
    curl_slist* headers_ = nullptr;
    std::string url_;
    std::string answer_;
};
