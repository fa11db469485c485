# Files of src/crc (paths relative to src/).
target_sources(velkorlib PRIVATE
)
