# libbzip2, the decoder of the payload streams.
find_package(BZip2 REQUIRED)
