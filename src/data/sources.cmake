# Files of src/data (paths relative to src/).
target_sources(velkorlib PRIVATE
)
